#pragma once
// dazavu exporter: a Prometheus exporter in the multi-target style. Each
// scrape of /probe?target=HOST[:PORT][&profile=NAME] probes one printer and
// answers its metrics; /metrics has the exporter's own; / a landing page.
// Every probe runs side by side with the others on the one event loop.
#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "DriftProfile.h"
#include "ExporterAddresses.h"
#include "ExporterMetrics.h"
#include "HttpServer.h"
#include "ProbeMetrics.h"
#include "StatusProbe.h"

namespace exporter {

struct ExporterConfig {
  QHostAddress listenAddress = QHostAddress::LocalHost;
  quint16 listenPort = 9878;
  double timeoutSeconds = 5;         // a probe's longest time
  double scrapeMarginSeconds = 0.5;  // kept free of the scrape's own time-out
  std::vector<Subnet> allowed;       // empty: every target
  std::map<QString, std::shared_ptr<const DriftProfile>> profiles;
  HttpLimits limits;
};

class Exporter : public QObject {
  Q_OBJECT
 public:
  Exporter(ExporterConfig p_objConfig, StatusProbe& p_objProbe, QObject* p_pParent = nullptr);
  bool Start(QString& p_sError);
  HttpServer& Server() { return m_objServer; }

  // The probe's time from the scrape's own time-out (its header, in
  // seconds; empty when not sent): that less the margin, at least half of
  // it, at most --timeout.
  static double ProbeSeconds(const QByteArray& p_byScrapeTimeout, double p_dTimeout, double p_dMargin);

 private:
  void Handle(const HttpRequest& p_objRequest, const HttpRespond& p_fnRespond);
  void HandleProbe(const HttpRequest& p_objRequest, const HttpRespond& p_fnRespond);
  void Probe(const ProbeTarget& p_objTarget, const QHostAddress& p_objAddress, double p_dSeconds,
             std::shared_ptr<const DriftProfile> p_pProfile, const HttpRespond& p_fnRespond);
  // Counts the probe and answers its metrics.
  void AnswerProbe(const ProbeResult& p_objResult, double p_dSeconds, const DriftMetrics* p_pDrift,
                   const HttpRespond& p_fnRespond);
  QByteArray LandingPage() const;

  ExporterConfig m_objConfig;
  StatusProbe& m_objProbe;
  ExporterMetrics m_objMetrics;
  HttpServer m_objServer;
};

}  // namespace exporter
