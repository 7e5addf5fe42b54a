#pragma once
// Runs the real dazavu and simulator executables: a simulated fleet on
// 127.0.0.1, dazavu against it, and the simulator's per-printer command logs.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <unistd.h>

struct CliRun {
  int exit = -1;
  QByteArray out;
  QByteArray err;
  QJsonObject Json() const { return QJsonDocument::fromJson(out).object(); }
  QStringList Lines() const { return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

class Simulator {
 public:
  // Starts a fleet; waits until it has said what it serves.
  bool Start(const QStringList& p_objArgs, const QString& p_sLogDir) {
    m_objProcess.setProgram(QStringLiteral(DZ_SIM_BIN));
    m_objProcess.setArguments(p_objArgs + QStringList{QStringLiteral("--log-dir"), p_sLogDir});
    m_objProcess.start();
    if (!m_objProcess.waitForStarted(5000)) return false;
    while (!m_sOutput.contains("status: ")) {
      if (!m_objProcess.waitForReadyRead(5000)) return false;
      m_sOutput += m_objProcess.readAllStandardOutput();
    }
    return true;
  }
  QByteArray Output() const { return m_sOutput; }
  // Waits in the event loop until the simulator has printed the text at
  // least p_iCount times.
  bool WaitFor(const QByteArray& p_sText, int p_iCount, int p_iMilliseconds = 15000) {
    QDeadlineTimer deadline(p_iMilliseconds);
    while (true) {
      m_sOutput += m_objProcess.readAllStandardOutput();
      if (m_sOutput.count(p_sText) >= p_iCount) return true;
      if (deadline.hasExpired()) return false;
      QSignalSpy spy(&m_objProcess, &QProcess::readyReadStandardOutput);
      spy.wait(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    }
  }
  ~Simulator() {
    m_objProcess.terminate();
    if (!m_objProcess.waitForFinished(3000)) m_objProcess.kill();
    m_objProcess.waitForFinished(3000);
  }

 private:
  QProcess m_objProcess;
  QByteArray m_sOutput;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_objDir.isValid());
    QDir(m_objDir.path()).mkdir(QStringLiteral("logs"));
    // Ports apart per test process, so that suites running side by side do
    // not meet, and below the kernel's ephemeral range (32768 and up), where
    // an outgoing connection of any other test may hold a port.
    m_iBasePort = PortBlock(getpid());
  }

  QString Path(const QString& p_sName) const { return QDir(m_objDir.path()).filePath(p_sName); }
  QString LogDir() const { return Path(QStringLiteral("logs")); }
  QString Lan(int p_iIndex) const { return QStringLiteral("127.0.0.1:%1").arg(m_iBasePort + p_iIndex); }
  // The commands a printer of the fleet received, one a line.
  QByteArray Log(const QString& p_sHostPort) const {
    QFile file(QDir(LogDir()).filePath(QString(p_sHostPort).replace(QLatin1Char(':'), QLatin1Char('_')) +
                                       QStringLiteral(".log")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no log>");
  }

  // Starts a fleet on the test's block of ports; a block that another
  // program holds is given up for the next one.
  bool StartFleet(int p_iPrinters, const QStringList& p_objExtra = {}) {
    for (int attempt = 0; attempt < 5; ++attempt) {
      m_objSim = std::make_unique<Simulator>();
      if (m_objSim->Start(QStringList{QStringLiteral("--printers"), QString::number(p_iPrinters),
                                      QStringLiteral("--port"), QString::number(m_iBasePort)} +
                              p_objExtra,
                          LogDir()))
        return true;
      m_objSim.reset();
      m_iBasePort = PortBlock(getpid() + 101 * (attempt + 1));
    }
    return false;
  }

  // Runs dazavu to its end, waiting in the event loop (so that peers of the
  // test keep serving), with the bytes given on its standard input.
  static CliRun Dazavu(const QStringList& p_objArgs, const QByteArray& p_byInput = QByteArray()) {
    std::unique_ptr<QProcess> process = StartDazavu(p_objArgs);
    process->write(p_byInput);
    process->closeWriteChannel();
    return Finished(*process);
  }
  static std::unique_ptr<QProcess> StartDazavu(const QStringList& p_objArgs) {
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral(DAZAVU_BIN), p_objArgs);
    process->waitForStarted(5000);
    return process;
  }
  static CliRun Finished(QProcess& p_objProcess) {
    CliRun run;
    if (p_objProcess.state() != QProcess::NotRunning) {
      QSignalSpy finished(&p_objProcess, &QProcess::finished);
      if (!finished.wait(30000)) {
        p_objProcess.kill();
        p_objProcess.waitForFinished();
        return run;
      }
    }
    run.exit = p_objProcess.exitStatus() == QProcess::NormalExit ? p_objProcess.exitCode() : -1;
    run.out = p_objProcess.readAllStandardOutput();
    run.err = p_objProcess.readAllStandardError();
    return run;
  }

  static QByteArray ReadAll(const QString& p_sPath) {
    QFile file(p_sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  static void WriteAll(const QString& p_sPath, const QByteArray& p_byContent) {
    QFile file(p_sPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(p_byContent);
  }

  QTemporaryDir m_objDir;
  quint16 m_iBasePort = 0;
  std::unique_ptr<Simulator> m_objSim;

 private:
  static quint16 PortBlock(long p_iSeed) { return static_cast<quint16>(20000 + (p_iSeed % 750) * 16); }
};
