#pragma once
// Probes on link/'s per-printer channels: each probe opens a channel of its
// own to the printer, asks for the status and, for a drift check, reads the
// records, then closes it. Channels share the one event loop; none waits.
#include <QObject>

#include "StatusProbe.h"

namespace exporter {

class ChannelProbe : public QObject, public StatusProbe {
  Q_OBJECT
 public:
  explicit ChannelProbe(QObject* p_pParent = nullptr) : QObject(p_pParent) {}
  void Start(const ProbeRequest& p_objRequest, ProbeDone p_fnDone) override;
};

}  // namespace exporter
