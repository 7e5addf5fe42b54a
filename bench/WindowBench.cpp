// The main window against the printer simulator over one link (com: COM on
// a pseudo-terminal, lan: LAN on 127.0.0.1, usb: USB through the simulator
// build of the transfer library), driven through its buttons on the offscreen
// platform:
//   - CPU time of a bare one-second wait and of "READ" (three one-second
//     waits), as a fraction of the wall time;
//   - peak resident set after "READ";
//   - reply latency: from the printer handing over the last byte of a reply
//     to the items holding the record, or the status label holding (and
//     painting) the status text. The TCP and pseudo-terminal printers run in
//     their own thread, as a printer would, and note the time they queue a
//     reply (the pseudo-terminal writes it at once, TCP on its next turn of
//     the event loop, so that figure errs on the long side); over USB the
//     moment is the return of the library call that delivered the reply;
//   - over USB, the time "GET STATUS" takes beyond the library's own time.
//
// Usage: bench_window <com|lan|usb> [status rounds]
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLibrary>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "BenchProbe.h"
#include "CInterface.h"
#include "LinkDispatcher.h"
#include "LinkIds.h"
#include "PrinterModel.h"
#include "PtyPrinter.h"
#include "WindowSerialLink.h"
#include "TcpPrinter.h"
#include "WindowUsbLink.h"
#include "common/MessageBox.h"
#include "main/FmMain.h"
#include "operations/OperationContext.h"
#include "operations/ReadWriteOperations.h"
#include "operations/StatusOperation.h"
#include "pages/ParameterPage.h"

namespace {

using dzbench::Figure;
using dzbench::NowNs;

// Runs the event loop until the condition holds or the time is up; the loop
// sleeps until something happens.
bool WaitFor(const std::function<bool()>& p_fnCondition, int p_iTimeoutMs) {
  QTimer limit;
  limit.setSingleShot(true);
  limit.start(p_iTimeoutMs);
  while (!p_fnCondition() && limit.isActive()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return p_fnCondition();
}

// The TCP and pseudo-terminal printers on their own thread.
class SimulatorThread {
 public:
  bool Start() {
    m_objContext.moveToThread(&m_objThread);
    m_objThread.start();
    bool ok = false;
    QMetaObject::invokeMethod(
        &m_objContext,
        [&] {
          m_pTcp = new dzsim::TcpPrinter(model);
          m_pPty = new dzsim::PtyPrinter(model);
          ok = m_pTcp->Listen(0) && m_pPty->Open();
          port = m_pTcp->Port();
          slavePath = m_pPty->SlavePath();
          auto stamp = [this] { lastReplyNs = NowNs(); };
          QObject::connect(m_pTcp, &dzsim::TcpPrinter::replyQueued, m_pTcp, stamp, Qt::DirectConnection);
          QObject::connect(m_pPty, &dzsim::PtyPrinter::replyQueued, m_pPty, stamp, Qt::DirectConnection);
        },
        Qt::BlockingQueuedConnection);
    return ok;
  }
  ~SimulatorThread() {
    if (m_objThread.isRunning()) {
      QMetaObject::invokeMethod(
          &m_objContext,
          [this] {
            delete m_pTcp;
            delete m_pPty;
          },
          Qt::BlockingQueuedConnection);
      m_objThread.quit();
      m_objThread.wait();
    }
  }

  dzsim::PrinterModel model;
  std::atomic<int64_t> lastReplyNs{0};
  quint16 port = 0;
  QString slavePath;

 private:
  QThread m_objThread;
  QObject m_objContext;
  dzsim::TcpPrinter* m_pTcp = nullptr;
  dzsim::PtyPrinter* m_pPty = nullptr;
};

// The timing stand-in of the USB library (bench/UsbTiming.cpp).
struct UsbTiming {
  QLibrary library{QStringLiteral(DZ_BENCH_USB_TIMING_LIBRARY)};
  int32_t (*Loaded)() = nullptr;
  int64_t (*LibraryNs)() = nullptr;
  int64_t (*LastReplyNs)() = nullptr;
  void (*Reset)() = nullptr;

  bool Load() {
    if (!library.load()) return false;
    Loaded = reinterpret_cast<int32_t (*)()>(library.resolve("DiruvovTiming_Loaded"));
    LibraryNs = reinterpret_cast<int64_t (*)()>(library.resolve("DiruvovTiming_LibraryNs"));
    LastReplyNs = reinterpret_cast<int64_t (*)()>(library.resolve("DiruvovTiming_LastReplyNs"));
    Reset = reinterpret_cast<void (*)()>(library.resolve("DiruvovTiming_Reset"));
    return Loaded && LibraryNs && LastReplyNs && Reset && Loaded() == 1;
  }
};

// Watches the link's state changes for the moment a reply has been taken
// in: a record stored into the items, or a status text in the label; and the
// label's next paint after that.
class ReplyWatch : public QObject {
 public:
  enum class Kind { None, Record, Status };

  ReplyWatch(dz::FmMain& p_objWindow, std::function<int64_t()> p_fnLastReply, std::function<void()> p_fnResetReply)
      : m_objWindow(p_objWindow), m_fnLastReply(std::move(p_fnLastReply)), m_fnResetReply(std::move(p_fnResetReply)) {
    connect(&m_objWindow.Link(), &LinkDispatcher::stateChanged, this, &ReplyWatch::OnStateChanged,
            Qt::DirectConnection);
    m_objWindow.lblStatus->installEventFilter(this);
  }

  void Arm(Kind p_eKind) {
    m_fnResetReply();
    kind = p_eKind;
    statusReplyNs = 0;
    statusShownMs = -1;
    statusPaintedMs = -1;
  }

  bool eventFilter(QObject*, QEvent* p_pEvent) override {
    if (p_pEvent->type() == QEvent::Paint && kind == Kind::Status && statusReplyNs > 0 && statusPaintedMs < 0)
      statusPaintedMs = double(NowNs() - statusReplyNs) / 1e6;
    return false;
  }

  Kind kind = Kind::None;
  std::vector<double> recordMs;
  int64_t statusReplyNs = 0;
  double statusShownMs = -1;
  double statusPaintedMs = -1;

 private:
  void OnStateChanged() {
    const int64_t now = NowNs();
    const int64_t reply = m_fnLastReply();
    if (reply <= 0) return;
    if (kind == Kind::Record && !m_objWindow.Link().State().m_bReplyExpected) {
      recordMs.push_back(double(now - reply) / 1e6);
      m_fnResetReply();
    } else if (kind == Kind::Status && statusReplyNs == 0 && !m_objWindow.lblStatus->text().isEmpty()) {
      statusReplyNs = reply;
      statusShownMs = double(now - reply) / 1e6;
    }
  }

  dz::FmMain& m_objWindow;
  std::function<int64_t()> m_fnLastReply;
  std::function<void()> m_fnResetReply;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QByteArray linkName = argc > 1 ? QByteArray(argv[1]) : QByteArray();
  const int linkIndex = linkName == "com"   ? dz::kLinkCom
                        : linkName == "lan" ? dz::kLinkLan
                        : linkName == "usb" ? dz::kLinkUsb
                                            : -1;
  if (linkIndex < 0) {
    std::fprintf(stderr, "usage: %s <com|lan|usb> [status rounds]\n", argv[0]);
    return 2;
  }
  const int statusRounds = argc > 2 ? std::atoi(argv[2]) : 20;
  auto name = [&](const char* p_sFigure) { return QByteArray(p_sFigure) + "_" + linkName; };

  int messages = 0;
  dz::SetMessageAnswerer([&](const QString& text, int style, const QString&) {
    std::fprintf(stderr, "message box: %s\n", text.toLocal8Bit().constData());
    ++messages;
    return style == dz::MsgYesNo ? int(dz::AnswerYes) : int(dz::AnswerOk);
  });

  SimulatorThread simulator;
  UsbTiming usb;
  if (linkIndex == dz::kLinkUsb) {
    if (!usb.Load()) {
      std::fprintf(stderr, "the USB timing library did not load: %s\n",
                   usb.library.errorString().toLocal8Bit().constData());
      return 1;
    }
  } else if (!simulator.Start()) {
    std::fprintf(stderr, "the simulator did not start\n");
    return 1;
  }

  auto window = std::make_unique<dz::FmMain>();
  bool painted = false;
  dzbench::FirstPaint firstPaint(*window, [&] { painted = true; });
  window->show();
  WaitFor([&] { return painted; }, 5000);

  // Point the window at the simulator, as the setup dialog would.
  CInterface& iface = window->m_objInterface;
  LinkDispatcher& link = window->Link();
  if (linkIndex == dz::kLinkCom) {
    iface.m_objParity.SetValue(int32_t{0});  // pseudo-terminals take no parity
    const QString slave = simulator.slavePath;
    link.Serial().SetPortResolver([slave](int) { return slave; });
  } else if (linkIndex == dz::kLinkLan) {
    iface.SetIpAddress(127, 0, 0, 1);
    iface.m_objSocketPortNumber.SetValue(int32_t{simulator.port});
  } else {
    link.Usb().SetLibraryPath(QStringLiteral(DZ_BENCH_USB_TIMING_LIBRARY));
  }
  window->cmbInterface->setCurrentIndex(linkIndex);
  for (int i : {dz::kLinkCom, dz::kLinkLan, dz::kLinkUsb}) link.CloseInterface(i);
  if (linkIndex != dz::kLinkUsb && !link.OpenInterface(linkIndex)) {
    std::fprintf(stderr, "the link did not open\n");
    return 1;
  }

  ReplyWatch watch(
      *window,
      [&]() -> int64_t { return linkIndex == dz::kLinkUsb ? usb.LastReplyNs() : simulator.lastReplyNs.load(); },
      [&] {
        if (linkIndex == dz::kLinkUsb)
          usb.Reset();
        else
          simulator.lastReplyNs = 0;
      });

  // The buttons are used when their operations are connected; otherwise the
  // operations are called directly (the same code behind the buttons).
  dz::OperationContext context{link,
                               window->m_objItemManager,
                               iface,
                               *window->pageParameter,
                               *window->pageMaintenance,
                               *window->pageExtraSetting,
                               *window->lblStatus};
  window->lblStatus->setText(QStringLiteral("probe"));
  watch.Arm(ReplyWatch::Kind::Status);
  window->btnGetStatus->click();  // a connected GET STATUS clears the label at once
  const bool buttonsWired = window->lblStatus->text() != QStringLiteral("probe");
  if (!buttonsWired) {
    std::fprintf(stderr, "note: the buttons are not connected; calling the operations directly\n");
    dz::RequestStatus(context);
  }
  if (!WaitFor([&] { return watch.statusShownMs >= 0; }, 3000)) {
    std::fprintf(stderr, "no status reply arrived\n");
    return 1;
  }
  WaitFor([&] { return watch.statusPaintedMs >= 0; }, 500);
  watch.Arm(ReplyWatch::Kind::None);

  // A bare one-second wait of the link, window shown and link open.
  {
    const int64_t cpu = dzbench::CpuNs();
    const int64_t start = NowNs();
    link.WaitSeconds(1);
    Figure(name("wait_cpu_fraction"), double(dzbench::CpuNs() - cpu) / double(NowNs() - start));
  }

  // "READ": three records, each followed by a one-second wait.
  {
    watch.Arm(ReplyWatch::Kind::Record);
    const int64_t cpu = dzbench::CpuNs();
    const int64_t start = NowNs();
    if (buttonsWired)
      window->pageParameter->btnRead->click();
    else
      dz::ReadParameters(context);
    const int64_t wall = NowNs() - start;
    Figure(name("read_cpu_fraction"), double(dzbench::CpuNs() - cpu) / double(wall));
    Figure(name("read_wall_s"), double(wall) / 1e9);
    Figure(name("read_rss_mib"), dzbench::PeakRssMiB());
    for (double ms : watch.recordMs) Figure(name("latency_record_ms"), ms);
    if (watch.recordMs.size() != 3)
      std::fprintf(stderr, "READ stored %zu records instead of 3\n", watch.recordMs.size());
    watch.Arm(ReplyWatch::Kind::None);
  }

  // "GET STATUS" again and again: the status text from the printer's reply
  // to the label.
  for (int round = 0; round < statusRounds; ++round) {
    watch.Arm(ReplyWatch::Kind::Status);
    const int64_t libraryBefore = linkIndex == dz::kLinkUsb ? usb.LibraryNs() : 0;
    const int64_t start = NowNs();
    if (buttonsWired)
      window->btnGetStatus->click();
    else
      dz::RequestStatus(context);
    const int64_t clickNs = NowNs() - start;
    if (!WaitFor([&] { return watch.statusShownMs >= 0; }, 3000)) {
      std::fprintf(stderr, "no status reply in round %d\n", round);
      return 1;
    }
    WaitFor([&] { return watch.statusPaintedMs >= 0; }, 500);
    Figure(name("latency_status_ms"), watch.statusShownMs);
    if (watch.statusPaintedMs >= 0) Figure(name("latency_status_painted_ms"), watch.statusPaintedMs);
    if (linkIndex == dz::kLinkUsb) {
      const int64_t library = usb.LibraryNs() - libraryBefore;
      Figure("usb_status_added_ms", double(clickNs - library) / 1e6);
      Figure("usb_status_library_ms", double(library) / 1e6);
    }
  }
  watch.Arm(ReplyWatch::Kind::None);

  for (int i = 0; i < 3; ++i) link.CloseInterface(i);
  window.reset();
  dz::SetMessageAnswerer({});
  return messages == 0 ? 0 : 1;
}
