#include "Exporter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostInfo>
#include <QTimer>
#include <algorithm>
#include <set>

#include "ProbeMetrics.h"

namespace exporter {

namespace {

const QByteArray kMetricsType = "text/plain; version=0.0.4; charset=utf-8";

HttpResponse Text(int p_iStatus, const QString& p_sText) {
  HttpResponse response;
  response.status = p_iStatus;
  response.body = p_sText.toUtf8() + '\n';
  return response;
}

QString HtmlEscaped(const QString& p_sText) { return p_sText.toHtmlEscaped(); }

}  // namespace

Exporter::Exporter(ExporterConfig p_objConfig, StatusProbe& p_objProbe, QObject* p_pParent)
    : QObject(p_pParent),
      m_objConfig(std::move(p_objConfig)),
      m_objProbe(p_objProbe),
      m_objServer([this](const HttpRequest& request, HttpRespond respond) { Handle(request, respond); },
                  m_objConfig.limits, this) {}

bool Exporter::Start(QString& p_sError) {
  if (m_objServer.Listen(m_objConfig.listenAddress, m_objConfig.listenPort)) return true;
  p_sError = m_objServer.ErrorString();
  return false;
}

double Exporter::ProbeSeconds(const QByteArray& p_byScrapeTimeout, double p_dTimeout, double p_dMargin) {
  bool ok = false;
  const double scrape = p_byScrapeTimeout.toDouble(&ok);
  if (!ok || !(scrape > 0)) return p_dTimeout;
  return std::min(p_dTimeout, std::max(scrape - p_dMargin, scrape / 2));
}

void Exporter::Handle(const HttpRequest& p_objRequest, const HttpRespond& p_fnRespond) {
  const std::string path = p_objRequest.path.toStdString();
  const std::string known = path == "/" || path == "/metrics" || path == "/probe" ? path : "other";
  const HttpRespond respond = [this, known, p_fnRespond](const HttpResponse& response) {
    m_objMetrics.CountRequest(known, response.status);
    p_fnRespond(response);
  };
  if (path == "/probe") return HandleProbe(p_objRequest, respond);
  HttpResponse response;
  if (path == "/metrics") {
    response.contentType = kMetricsType;
    response.body =
        QByteArray::fromStdString(m_objMetrics.Render(QCoreApplication::applicationVersion().toStdString()));
  } else if (path == "/") {
    response.contentType = "text/html; charset=utf-8";
    response.body = LandingPage();
  } else {
    response = Text(404, QStringLiteral("Not Found: /, /metrics and /probe?target=HOST[:PORT] are here"));
  }
  respond(response);
}

void Exporter::HandleProbe(const HttpRequest& p_objRequest, const HttpRespond& p_fnRespond) {
  std::map<QString, QString> params;
  QString error;
  if (!ParseQuery(p_objRequest.query, params, error)) return p_fnRespond(Text(400, error));
  for (const auto& param : params)
    if (param.first != QLatin1String("target") && param.first != QLatin1String("profile"))
      return p_fnRespond(Text(400, QStringLiteral("unknown parameter %1").arg(param.first)));
  const auto target = params.find(QStringLiteral("target"));
  if (target == params.end()) return p_fnRespond(Text(400, QStringLiteral("target parameter is missing")));
  ProbeTarget probeTarget;
  if (!ParseProbeTarget(target->second, probeTarget, error)) return p_fnRespond(Text(400, error));
  std::shared_ptr<const DriftProfile> profile;
  const auto profileName = params.find(QStringLiteral("profile"));
  if (profileName != params.end()) {
    const auto it = m_objConfig.profiles.find(profileName->second);
    if (it == m_objConfig.profiles.end())
      return p_fnRespond(Text(400, QStringLiteral("unknown profile %1").arg(profileName->second)));
    profile = it->second;
  }
  const double seconds = ProbeSeconds(p_objRequest.Header("x-prometheus-scrape-timeout-seconds"),
                                      m_objConfig.timeoutSeconds, m_objConfig.scrapeMarginSeconds);
  if (!probeTarget.address.isNull()) {
    if (!IsAllowed(m_objConfig.allowed, probeTarget.address))
      return p_fnRespond(Text(400, QStringLiteral("target %1 is not allowed").arg(probeTarget.host)));
    return Probe(probeTarget, probeTarget.address, seconds, profile, p_fnRespond);
  }
  // A host name: looked up first, within the probe's time; the first of its
  // addresses that is allowed is probed.
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  auto answered = std::make_shared<bool>(false);
  auto* guard = new QTimer(this);
  guard->setSingleShot(true);
  const int lookup = QHostInfo::lookupHost(probeTarget.host, this, [=](const QHostInfo& info) {
    if (*answered) return;
    *answered = true;
    guard->deleteLater();
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
      ProbeResult result;
      result.error = info.errorString();
      return AnswerProbe(result, clock->elapsed() / 1000.0, nullptr, p_fnRespond);
    }
    for (const QHostAddress& address : info.addresses())
      if (IsAllowed(m_objConfig.allowed, address))
        return Probe(probeTarget, address, std::max(0.0, seconds - clock->elapsed() / 1000.0), profile, p_fnRespond);
    p_fnRespond(Text(
        400,
        QStringLiteral("target %1 (%2) is not allowed").arg(probeTarget.host, info.addresses().first().toString())));
  });
  connect(guard, &QTimer::timeout, this, [=] {
    if (*answered) return;
    *answered = true;
    guard->deleteLater();
    QHostInfo::abortHostLookup(lookup);
    ProbeResult result;
    result.outcome = ProbeOutcome::Timeout;
    result.error = QStringLiteral("the name was not looked up in time");
    AnswerProbe(result, seconds, nullptr, p_fnRespond);
  });
  guard->start(static_cast<int>(seconds * 1000));
}

void Exporter::AnswerProbe(const ProbeResult& p_objResult, double p_dSeconds, const DriftMetrics* p_pDrift,
                           const HttpRespond& p_fnRespond) {
  m_objMetrics.CountProbe(p_objResult.outcome, p_dSeconds);
  HttpResponse response;
  response.contentType = kMetricsType;
  response.body = QByteArray::fromStdString(RenderProbe(p_objResult, p_dSeconds, p_pDrift));
  p_fnRespond(response);
}

void Exporter::Probe(const ProbeTarget& p_objTarget, const QHostAddress& p_objAddress, double p_dSeconds,
                     std::shared_ptr<const DriftProfile> p_pProfile, const HttpRespond& p_fnRespond) {
  ProbeRequest request;
  request.address = p_objAddress;
  request.port = p_objTarget.port;
  request.deadline = QDeadlineTimer(static_cast<qint64>(p_dSeconds * 1000), Qt::PreciseTimer);
  if (p_pProfile) request.readKinds = p_pProfile->ReadKinds();
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  m_objProbe.Start(request, [this, clock, p_pProfile, p_fnRespond](const ProbeResult& result) {
    const double seconds = static_cast<double>(clock->nsecsElapsed()) / 1e9;
    DriftMetrics drift;
    std::vector<Difference> differences;
    if (p_pProfile && result.recordsRead && p_pProfile->CompareRecords(result.records, differences)) {
      drift.compared = true;
      std::set<std::string> seen;
      for (const Difference& difference : differences)
        if (seen.insert(difference.row->caption).second) drift.captions.push_back(difference.row->caption);
    }
    AnswerProbe(result, seconds, p_pProfile ? &drift : nullptr, p_fnRespond);
  });
}

QByteArray Exporter::LandingPage() const {
  QString profiles;
  for (const auto& profile : m_objConfig.profiles)
    profiles += QStringLiteral("<li><code>%1</code>: %2</li>\n")
                    .arg(HtmlEscaped(profile.first), HtmlEscaped(profile.second->Path()));
  const QString page =
      QStringLiteral(
          "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>Dazavu "
          "exporter</title></head>\n<body>\n<h1>Dazavu exporter</h1>\n"
          "<p>Version %1. Status and settings of Dazavu label printers on the LAN, for "
          "Prometheus.</p>\n<ul>\n<li><a href=\"metrics\">/metrics</a>: the exporter's own "
          "metrics</li>\n<li><a href=\"probe?target=127.0.0.1:8000\">/probe?target=HOST[:PORT]</a>: "
          "probe one printer (add <code>&amp;profile=NAME</code> to compare its settings)</li>\n"
          "</ul>\n<h2>Profiles</h2>\n<ul>\n%2</ul>\n<h2>Scrape configuration</h2>\n<pre>\n"
          "scrape_configs:\n  - job_name: dazavu\n    metrics_path: /probe\n    static_configs:\n"
          "      - targets: ['192.168.10.20:8000', '192.168.10.21:8000']\n"
          "    relabel_configs:\n      - source_labels: [__address__]\n"
          "        target_label: __param_target\n      - source_labels: [__param_target]\n"
          "        target_label: instance\n      - target_label: __address__\n"
          "        replacement: %3\n  - job_name: dazavu_exporter\n    static_configs:\n"
          "      - targets: ['%3']\n</pre>\n</body>\n</html>\n")
          .arg(HtmlEscaped(QCoreApplication::applicationVersion()),
               profiles.isEmpty() ? QStringLiteral("<li>none</li>\n") : profiles,
               HtmlEscaped(QStringLiteral("%1:%2")
                               .arg(m_objConfig.listenAddress.protocol() == QAbstractSocket::IPv6Protocol
                                        ? QStringLiteral("[%1]").arg(m_objConfig.listenAddress.toString())
                                        : m_objConfig.listenAddress.toString())
                               .arg(m_objServer.Port())));
  return page.toUtf8();
}

}  // namespace exporter
