// Opens the COM link the way the tool does, with COM1 mapped to the device
// named on the command line, and prints what the link showed: "open" or
// "closed", then one line per message box, "style|title|text" with the
// text's line breaks as "\n". Tests run it as another user.
#include <QCoreApplication>
#include <cstdio>

#include "CInterface.h"
#include "CItemManager.h"
#include "LinkDispatcher.h"
#include "WindowSerialLink.h"
#include "LinkIds.h"
#include "RecordedLink.h"

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc != 2) return 2;
  const QString device = QString::fromLocal8Bit(argv[1]);
  dz::test::RecordedLink recorded;
  auto& [items, iface, host, link] = recorded;
  iface.m_objParity.SetValue(int32_t{0});  // a pseudo-terminal takes no parity
  iface.SetActiveInterface(dz::kLinkCom);
  link.Serial().SetPortResolver([device](int) { return device; });
  std::printf("%s\n", link.OpenInterface(dz::kLinkCom) ? "open" : "closed");
  for (const dz::test::RecordedMessage& m : host.messages) {
    QString text = m.text;
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    std::printf("%d|%s|%s\n", m.style, m.title.toUtf8().constData(), text.toUtf8().constData());
  }
  link.CloseInterface(dz::kLinkCom);
  return 0;
}
