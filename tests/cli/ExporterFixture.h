#pragma once
// The real `dazavu exporter` on 127.0.0.1 (a free port), simulated printers
// of their own ports, HTTP requests sent as raw bytes side by side on the
// test's event loop, and the answers' metrics read with the prometheus_client
// parser (tests/monitoring/parse_metrics.py).
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpSocket>
#include <map>
#include <optional>

#include "CliFixture.h"

class ExporterProcess {
 public:
  bool Start(const QStringList& p_objArgs) {
    m_objProcess.setProgram(QStringLiteral(DAZAVU_BIN));
    m_objProcess.setArguments(QStringList{"exporter", "--listen", "127.0.0.1:0"} + p_objArgs);
    m_objProcess.setReadChannel(QProcess::StandardError);
    m_objProcess.start();
    if (!m_objProcess.waitForStarted(5000)) return false;
    static const QRegularExpression kListening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    while (true) {
      const QRegularExpressionMatch match = kListening.match(QString::fromUtf8(m_byErr));
      if (match.hasMatch()) {
        m_iPort = static_cast<quint16>(match.captured(1).toUInt());
        return true;
      }
      if (m_objProcess.state() != QProcess::Running || !m_objProcess.waitForReadyRead(5000)) return false;
      m_byErr += m_objProcess.readAllStandardError();
    }
  }
  quint16 Port() const { return m_iPort; }
  ~ExporterProcess() {
    m_objProcess.terminate();
    if (!m_objProcess.waitForFinished(3000)) m_objProcess.kill();
    m_objProcess.waitForFinished(3000);
  }

 private:
  QProcess m_objProcess;
  QByteArray m_byErr;
  quint16 m_iPort = 0;
};

// One HTTP exchange: the request's bytes out, everything until the server
// closes in.
struct HttpExchange {
  QTcpSocket socket;
  QByteArray received;
  bool done = false;
  int Status() const {
    const QList<QByteArray> words = received.left(received.indexOf("\r\n")).split(' ');
    return words.size() >= 2 ? words[1].toInt() : 0;
  }
  QByteArray Body() const {
    const qsizetype end = received.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : received.mid(end + 4);
  }
};

struct Sample {
  QString name;
  std::map<QString, QString> labels;
  double value = 0;
};

class ExporterTest : public CliTest {
 protected:
  // Starts the exchange; it runs while the test waits in the event loop.
  std::unique_ptr<HttpExchange> Send(const QByteArray& p_byRequest) {
    auto exchange = std::make_unique<HttpExchange>();
    HttpExchange* e = exchange.get();
    QObject::connect(&e->socket, &QTcpSocket::connected, [e, p_byRequest] { e->socket.write(p_byRequest); });
    QObject::connect(&e->socket, &QTcpSocket::readyRead, [e] { e->received += e->socket.readAll(); });
    QObject::connect(&e->socket, &QTcpSocket::disconnected, [e] {
      if (e->socket.isOpen()) e->received += e->socket.readAll();
      e->done = true;
    });
    QObject::connect(&e->socket, &QTcpSocket::errorOccurred, [e](QAbstractSocket::SocketError error) {
      if (error != QAbstractSocket::RemoteHostClosedError) e->done = true;
    });
    e->socket.connectToHost(QHostAddress::LocalHost, m_objExporter->Port());
    return exchange;
  }
  static QByteArray Get(const QByteArray& p_byPathAndQuery, const QByteArray& p_byExtraHeaders = {}) {
    return "GET " + p_byPathAndQuery + " HTTP/1.1\r\nHost: exporter\r\n" + p_byExtraHeaders + "\r\n";
  }
  // Sends one request and waits for its whole answer.
  std::unique_ptr<HttpExchange> Fetch(const QByteArray& p_byRequest, int p_iTimeoutMs = 10000) {
    auto exchange = Send(p_byRequest);
    EXPECT_TRUE(QTest::qWaitFor([&] { return exchange->done; }, p_iTimeoutMs)) << p_byRequest.constData();
    return exchange;
  }
  std::unique_ptr<HttpExchange> Probe(const QString& p_sTarget, const QByteArray& p_byExtra = {}) {
    return Fetch(Get("/probe?target=" + QUrl::toPercentEncoding(p_sTarget) + p_byExtra));
  }

  bool StartExporter(const QStringList& p_objArgs = {}) {
    m_objExporter = std::make_unique<ExporterProcess>();
    return m_objExporter->Start(p_objArgs);
  }

  // One more simulated printer (or several) on free ports of its own; the
  // port of its first printer.
  quint16 StartPrinters(const QStringList& p_objArgs) {
    m_objOthers.push_back(std::make_unique<Simulator>());
    if (!m_objOthers.back()->Start(QStringList{"--port", "0"} + p_objArgs, LogDir())) return 0;
    static const QRegularExpression kLan(QStringLiteral("lan: 127\\.0\\.0\\.1:(\\d+)"));
    return static_cast<quint16>(kLan.match(QString::fromUtf8(m_objOthers.back()->Output())).captured(1).toUInt());
  }

  // The samples of an exposition text; fails the test when the parser
  // refuses it.
  static std::vector<Sample> Parse(const QByteArray& p_byText) {
    QProcess parser;
    parser.start(QStringLiteral(DZ_PYTHON), {QStringLiteral(DZ_METRICS_PARSER)});
    parser.write(p_byText);
    parser.closeWriteChannel();
    EXPECT_TRUE(parser.waitForFinished(30000));
    EXPECT_EQ(parser.exitCode(), 0) << parser.readAllStandardError().constData() << "\n" << p_byText.constData();
    std::vector<Sample> samples;
    for (const QByteArray& line : parser.readAllStandardOutput().split('\n')) {
      if (line.isEmpty()) continue;
      const QJsonObject object = QJsonDocument::fromJson(line).object();
      Sample sample;
      sample.name = object["name"].toString();
      const QJsonObject labels = object["labels"].toObject();
      for (auto it = labels.begin(); it != labels.end(); ++it) sample.labels[it.key()] = it.value().toString();
      sample.value = object["value"].toDouble();
      samples.push_back(sample);
    }
    return samples;
  }
  // The value of the one sample with that name and these labels (others
  // may be there too).
  static std::optional<double> Value(const std::vector<Sample>& p_objSamples, const QString& p_sName,
                                     const std::map<QString, QString>& p_objLabels = {}) {
    std::optional<double> found;
    for (const Sample& sample : p_objSamples) {
      if (sample.name != p_sName) continue;
      bool match = true;
      for (const auto& label : p_objLabels) {
        const auto it = sample.labels.find(label.first);
        match = match && it != sample.labels.end() && it->second == label.second;
      }
      if (!match) continue;
      EXPECT_FALSE(found.has_value()) << "two samples " << p_sName.toStdString();
      found = sample.value;
    }
    return found;
  }
  static int Count(const std::vector<Sample>& p_objSamples, const QString& p_sName) {
    return static_cast<int>(
        std::count_if(p_objSamples.begin(), p_objSamples.end(), [&](const Sample& s) { return s.name == p_sName; }));
  }
  // promtool's own check of the text: format and naming conventions.
  static void ExpectPromtoolAccepts(const QByteArray& p_byText) {
    QProcess promtool;
    promtool.start(QStringLiteral("promtool"), {QStringLiteral("check"), QStringLiteral("metrics")});
    if (!promtool.waitForStarted(5000)) GTEST_SKIP() << "promtool is not installed";
    promtool.write(p_byText);
    promtool.closeWriteChannel();
    ASSERT_TRUE(promtool.waitForFinished(30000));
    EXPECT_EQ(promtool.exitCode(), 0) << promtool.readAllStandardOutput().constData()
                                      << promtool.readAllStandardError().constData();
  }

  std::unique_ptr<ExporterProcess> m_objExporter;
  std::vector<std::unique_ptr<Simulator>> m_objOthers;
};
