// The byte-by-byte serial writer (WindowSerialLink::WriteSerialBytes) on a
// pseudo-terminal: how many bytes per second it hands to the line, from the
// first byte given to it to the last byte read at the printer's end. A real
// line at 115200 baud carries 11,520 bytes per second; the writer must be far
// faster than that so that it never limits a transaction.
//
// Usage: bench_serial_writer [runs] [bytes per run]
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>
#include <string>

#include "LinkIds.h"
#include "BenchProbe.h"
#include "CInterface.h"
#include "CItemManager.h"
#include "Commands.h"
#include "ILinkHost.h"
#include "LinkDispatcher.h"
#include "WindowSerialLink.h"

namespace {

class QuietHost : public ILinkHost {
 public:
  void ShowStatusText(const QString&) override {}
  void ShowHeadCheckText(const QString&) override {}
  int ShowMessageBox(const QString& p_sText, int, const QString&) override {
    std::fprintf(stderr, "message box: %s\n", p_sText.toLocal8Bit().constData());
    ++messages;
    return 1;
  }
  void Beep() override {}
  void SetCommandButtonsEnabled(bool) override {}
  int messages = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
  const size_t size = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 32768;

  int master = -1;
  int slave = -1;
  char name[256] = {};
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    std::perror("openpty");
    return 1;
  }
  termios raw{};
  tcgetattr(slave, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave, TCSANOW, &raw);

  CItemManager items;
  CInterface iface;
  QuietHost host;
  LinkDispatcher link(items, iface, host);
  iface.m_objParity.SetValue(int32_t{0});              // pseudo-terminals take no parity
  iface.m_objCommunicationSpeed.SetValue(int32_t{5});  // 115200 baud
  iface.SetActiveInterface(dz::kLinkCom);
  const QString slaveName = QString::fromLatin1(name);
  link.Serial().SetPortResolver([slaveName](int) { return slaveName; });
  if (!link.OpenInterface(dz::kLinkCom)) {
    std::fprintf(stderr, "the serial port on %s did not open\n", name);
    return 1;
  }

  // What goes over the line: the commands a "SET" and a LAN "SET" send,
  // repeated to the run's size.
  std::string text;
  const std::string commands[] = {BuildWriteRecordCommand(items, 1), BuildWriteRecordCommand(items, 2),
                                  BuildIpAddressCommand(items, 2), BuildSocketPortCommand(items),
                                  BuildDhcpCommand(items)};
  while (text.size() < size)
    for (const std::string& c : commands) text += c;
  text.resize(size);
  Bytes payload;
  TextToBytes(text, payload);

  // The printer's end drains the line on its own thread, as a printer
  // would, sleeping in read() until bytes arrive; it wakes the event loop
  // when the last byte is in.
  for (int run = 0; run < runs; ++run) {
    std::atomic<int64_t> lastByteNs{0};
    std::atomic<size_t> received{0};
    std::thread printer([&] {
      uint8_t buffer[4096];
      while (received < payload.size()) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        received += size_t(n);
      }
      lastByteNs = dzbench::NowNs();
      QMetaObject::invokeMethod(
          qApp, [] {}, Qt::QueuedConnection);
    });

    const int64_t start = dzbench::NowNs();
    const bool written = link.Serial().WriteSerialBytes(payload);
    const int64_t returned = dzbench::NowNs();
    // What is left in the port's buffer goes out through the event loop.
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(10000);
    while (lastByteNs == 0 && limit.isActive()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!written || lastByteNs == 0) {
      std::fprintf(stderr, "the writer failed: %zu of %zu bytes arrived\n", size_t(received), payload.size());
      ::close(slave);  // ends the printer's read
      printer.join();
      return 1;
    }
    printer.join();
    dzbench::Figure("serial_writer_bytes_per_s", double(payload.size()) / (double(lastByteNs - start) / 1e9));
    dzbench::Figure("serial_writer_call_bytes_per_s", double(payload.size()) / (double(returned - start) / 1e9));
  }
  link.CloseInterface(dz::kLinkCom);
  ::close(slave);
  ::close(master);
  return host.messages == 0 ? 0 : 1;
}
