// A probe for the installed program: scripts/package.sh loads it into the
// program taken from the built package (LD_PRELOAD) and runs that program on
// the offscreen platform. Inside the running program it does what a user
// does and writes what it saw, one line per fact, to the file named by
// DZ_PROBE_REPORT:
//
//   window <title>             the main window was shown
//   appversion <version>       QCoreApplication::applicationVersion()
//   about <text>               the version line of the About box
//   message <text>             each message box shown after GET STATUS on USB
//   status <text>              the status line after GET STATUS
//   usblibrary <path>          the "Diruvov" file the program has loaded
//   closed                     the main window was closed like a user does
//
// The program itself then has to end by itself with exit code 0; the script
// checks that. The probe never calls exit() and has no part in the exit code.
//
// It drives the widgets by their object names only and touches no code of
// the program, so it tests exactly the installed binary.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class Probe : public QObject {
 public:
  explicit Probe(const QString& reportPath) : m_report(reportPath) {
    if (!m_report.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
      std::fprintf(stderr, "probe: cannot write %s\n", qPrintable(reportPath));
      return;
    }
    // Polls the widget tree from the program's own event loop (also inside
    // the nested loops of modal dialogs). Every action that opens a modal
    // dialog is posted, so that the probe never blocks in it.
    connect(&m_poll, &QTimer::timeout, this, [this] { Step(); });
    m_poll.start(50);
    // A safety stop so that a broken program cannot hang CI; it only ends
    // the probe, it does not judge speed: the report then lacks "closed".
    QTimer::singleShot(120000, this, [this] {
      Write("gaveup " + QString::number(m_stage));
      m_poll.stop();
      if (QWidget* main = MainWindow()) main->close();
    });
  }

 private:
  enum Stage { WaitWindow, WaitAbout, WaitAboutClosed, WaitStatusMessage, WaitIdle, Done };

  void Write(const QString& line) {
    m_report.write(line.toUtf8() + '\n');
    m_report.flush();
  }
  static QWidget* MainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == QLatin1String("FmMain")) return w;
    return nullptr;
  }
  static void PostClick(QAbstractButton* button) { QMetaObject::invokeMethod(button, "click", Qt::QueuedConnection); }
  // The path of the loaded file whose name is libDiruvov.so, from the
  // process's own memory map.
  static QString LoadedUsbLibrary() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    for (const QByteArray& line : maps.readAll().split('\n')) {
      const int at = line.indexOf('/');
      if (at >= 0 && line.endsWith("/libDiruvov.so")) return QString::fromUtf8(line.mid(at));
    }
    return QStringLiteral("(none)");
  }

  void Step() {
    QWidget* main = MainWindow();
    QWidget* modal = QApplication::activeModalWidget();
    switch (m_stage) {
      case WaitWindow:
        if (!main || !main->isVisible() || modal) return;
        Write("window " + main->windowTitle());
        Write("appversion " + QCoreApplication::applicationVersion());
        if (auto* about = main->findChild<QAction*>(QStringLiteral("smAbout"))) {
          QMetaObject::invokeMethod(about, "trigger", Qt::QueuedConnection);
          m_stage = WaitAbout;
        } else {
          Write("missing smAbout");
          StartStatus(main);
        }
        return;
      case WaitAbout:
        if (!modal || modal->objectName() != QLatin1String("FmAbout")) return;
        for (QLabel* label : modal->findChildren<QLabel*>())
          if (label->text().startsWith(QLatin1String("Version"))) Write("about " + label->text());
        if (auto* ok = modal->findChild<QPushButton*>(QStringLiteral("btnOk")))
          PostClick(ok);
        else
          static_cast<QDialog*>(modal)->reject();
        m_stage = WaitAboutClosed;
        return;
      case WaitAboutClosed:
        if (modal) return;
        StartStatus(main);
        return;
      case WaitStatusMessage:
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
          Write("message " + box->text());
          box->accept();
          m_stage = WaitIdle;
        } else if (!modal && m_statusReturned && m_getStatus->isEnabled()) {
          // GET STATUS has finished without showing any message.
          m_stage = WaitIdle;
        }
        return;
      case WaitIdle:
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
          Write("message " + box->text());
          box->accept();
          return;
        }
        if (modal || !m_statusReturned || !m_getStatus->isEnabled()) return;
        if (auto* status = main->findChild<QLabel*>(QStringLiteral("lblStatus"))) Write("status " + status->text());
        Write("usblibrary " + LoadedUsbLibrary());
        m_stage = Done;
        m_poll.stop();
        Write("closed");
        main->close();  // as the window's close button does
        return;
      case Done:
        return;
    }
  }

  void StartStatus(QWidget* main) {
    auto* list = main->findChild<QComboBox*>(QStringLiteral("cmbInterface"));
    m_getStatus = main->findChild<QPushButton*>(QStringLiteral("btnGetStatus"));
    if (!list || !m_getStatus || list->findText(QStringLiteral("USB")) < 0) {
      Write("missing cmbInterface, btnGetStatus or its USB entry");
      m_stage = Done;
      m_poll.stop();
      main->close();
      return;
    }
    list->setCurrentIndex(list->findText(QStringLiteral("USB")));
    Write("interface " + list->currentText());
    // Connected after the program's own handler, so this runs when the
    // handler has returned.
    connect(m_getStatus, &QPushButton::clicked, this, [this] { m_statusReturned = true; });
    PostClick(m_getStatus);
    m_stage = WaitStatusMessage;
  }

  QFile m_report;
  QTimer m_poll;
  int m_stage = WaitWindow;
  QPushButton* m_getStatus = nullptr;
  bool m_statusReturned = false;
};

void StartProbe() {
  const QByteArray report = qgetenv("DZ_PROBE_REPORT");
  if (report.isEmpty() || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  // Started from QApplication's constructor: wait for the event loop.
  QTimer::singleShot(0, [path = QString::fromLocal8Bit(report)] { new Probe(path); });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)
