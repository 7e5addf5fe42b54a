// CPU share of wall time while the link waits for a printer that does not
// answer: a connect to a listener on 127.0.0.1 whose accept queue is full,
// a refused connection with its silent reconnect, and a USB reply wait on
// a library that never answers. Each should sleep, not spin.
#include <QCoreApplication>
#include <QLibrary>
#include <QTcpServer>

#include "BenchProbe.h"
#include "CInterface.h"
#include "CItemManager.h"
#include "DiruvovSim.h"
#include "ILinkHost.h"
#include "WindowLanLink.h"
#include "LinkDispatcher.h"
#include "UnansweredListener.h"
#include "WindowUsbLink.h"

namespace {

class QuietHost : public ILinkHost {
 public:
  void ShowStatusText(const QString&) override {}
  void ShowHeadCheckText(const QString&) override {}
  int ShowMessageBox(const QString&, int, const QString&) override { return 1; }
  void Beep() override {}
  void SetCommandButtonsEnabled(bool) override {}
};

struct Link {
  CItemManager items;
  CInterface iface;
  QuietHost host;
  LinkDispatcher link{items, iface, host};
};

template <typename Fn>
double CpuShare(Fn&& p_fnWork) {
  const int64_t cpu = dzbench::CpuNs();
  const int64_t start = dzbench::NowNs();
  p_fnWork();
  return double(dzbench::CpuNs() - cpu) / double(dzbench::NowNs() - start);
}

uint16_t RefusingPort() {
  QTcpServer server;
  server.listen(QHostAddress::LocalHost, 0);
  const uint16_t port = server.serverPort();
  server.close();
  return port;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);

  {
    UnansweredListener nobody;
    Link l;
    l.iface.SetActiveInterface(dz::kLinkLan);
    l.iface.SetIpAddress(127, 0, 0, 1);
    l.iface.m_objSocketPortNumber.SetValue(int32_t{nobody.Port()});
    l.link.Lan().SetConnectTimeoutMs(2000);
    dzbench::Figure("connect_unanswered_cpu_fraction", CpuShare([&] { l.link.OpenInterface(dz::kLinkLan); }));
  }
  {
    Link l;
    l.iface.SetActiveInterface(dz::kLinkLan);
    l.iface.SetIpAddress(127, 0, 0, 1);
    l.iface.m_objSocketPortNumber.SetValue(int32_t{RefusingPort()});
    dzbench::Figure("connect_refused_cpu_fraction", CpuShare([&] {
                      l.link.OpenInterface(dz::kLinkLan);
                      l.link.WaitSeconds(1);  // the silent reconnect is refused meanwhile
                    }));
  }
  {
    QLibrary sim(QString::fromUtf8(kDiruvovSimLibraryPath));
    auto setMode = reinterpret_cast<int32_t (*)(int32_t, int32_t)>(sim.resolve("DiruvovSim_SetMode"));
    if (setMode) setMode(DIRUVOV_SIM_SILENCE, 0);
    Link l;
    l.iface.SetActiveInterface(dz::kLinkUsb);
    l.link.Usb().SetLibraryPath(QString::fromUtf8(kDiruvovSimLibraryPath));
    l.link.Usb().SetReplyWaitSeconds(2);
    const std::string status = "{WS|}";
    QString error;
    dzbench::Figure("usb_reply_wait_cpu_fraction",
                    CpuShare([&] { l.link.SendCommand(Bytes(status.begin(), status.end()), error, 13, true); }));
  }
  return 0;
}
