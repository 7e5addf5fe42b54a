#pragma once
// Probes over a socket of their own, one connection a probe: the status
// request, then each record read, each reply collected until it is whole.
//
// Stand-in: this talks to the printer without link/. It is to give way to
// link/'s per-printer channels (a request that returns a reply object) as
// soon as they can carry a probe; nothing outside this file and its .cpp
// knows how a probe reaches the printer.
#include <QObject>

#include "StatusProbe.h"

namespace exporter {

class LanStatusProbe : public QObject, public StatusProbe {
  Q_OBJECT
 public:
  explicit LanStatusProbe(QObject* p_pParent = nullptr) : QObject(p_pParent) {}
  void Start(const ProbeRequest& p_objRequest, ProbeDone p_fnDone) override;
};

}  // namespace exporter
