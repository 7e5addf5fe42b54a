// The main window as a user meets it: the start-up state, the layout, the
// focus order, the button lock and the small selection handlers.
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <map>
#include <set>

#include "LinkDispatcher.h"
#include "WindowFixture.h"
#include "common/PageBuilder.h"
#include "common/Twips.h"
#include "dialogs/FmAbout.h"

namespace dz::test {
namespace {

using MainWindowTest = WindowFixture;

const char* const kCommandButtons[] = {
    "btnGetStatus", "btnSetup",     "btnLoad",    "btnSave",    "btnRead",     "btnSet",
    "btnDiagPrint", "btnTestPrint", "btnReflect", "btnTrans",   "btnPaperEnd", "btnThresholdCalib",
    "btnRamClear",  "btnHeadCheck", "btnLanLoad", "btnLanSave", "btnLanRead",  "btnLanSet"};

TEST_F(MainWindowTest, StartsOnTheParameterPageWithComSelectedAndTheDefaultsShown) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Dazavu Setting Tool"));
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_EQ(Find<QTabWidget>("SSTab1")->currentIndex(), 0);
  EXPECT_TRUE(Find<QGroupBox>("FrParameter")->isVisible());
  EXPECT_FALSE(Find<QGroupBox>("FrLan")->isVisible());

  EXPECT_EQ(List("cmbInterface")->currentText(), QStringLiteral("COM"));
  EXPECT_EQ(window->m_objInterface.GetActiveInterface(), kLinkCom);
  EXPECT_TRUE(Find<QPushButton>("btnSetup")->isEnabled());
  EXPECT_TRUE(Find<QLabel>("lblStatus")->text().isEmpty());

  // Lists showing the catalogue's defaults; every other list its first entry.
  const std::map<std::string, QString> shown = {{"cmbFontCode", "PC-850"},
                                                {"cmbSpeed", "9600bps"},
                                                {"cmbDataLeg", "8bits"},
                                                {"cmbParity", "EVEN"},
                                                {"cmbControl", "XON+READY AUTO"},
                                                {"cmbFowardWait", "ON"},
                                                {"cmbBackSpeed", "LOW"},
                                                {"cmbPort", "ON"},
                                                {"cmbDhcp", "OFF"},
                                                {"cmbInterface", "COM"}};
  for (QComboBox* list : window->findChildren<QComboBox*>()) {
    const std::string name = list->objectName().toStdString();
    EXPECT_FALSE(list->isEditable()) << name;
    if (name == "cmbDestination") continue;
    if (shown.count(name))
      EXPECT_EQ(list->currentText(), shown.at(name)) << name;
    else
      EXPECT_EQ(list->currentIndex(), 0) << name;
  }
  // The destination list's first entry is an empty text, yet nothing is selected.
  QComboBox* destination = List("cmbDestination");
  EXPECT_EQ(destination->currentIndex(), -1);
  EXPECT_EQ(destination->count(), 5);
  EXPECT_EQ(destination->itemText(0), QString());
  EXPECT_TRUE(destination->isEnabled());  // "PARAMETER" is selected
  EXPECT_EQ(List("cmbCode")->itemText(2), QStringLiteral("{,|,}"));
  EXPECT_EQ(List("cmbPrintSpeed")->itemText(1), QStringLiteral("4\"/sec"));

  const std::map<std::string, QString> spins = {
      {"SeCode1", "1B"},       {"SeCode2", "0A"},       {"SeCode3", "00"},       {"SeEuroCode", "B0"},
      {"SeThresholdR", "1.0"}, {"SeThresholdT", "1.4"}, {"SeFeedAdj", "0.0"},    {"SeFowardPosition", "0.0"},
      {"SeXAdj", "0.0"},       {"SeToneAdjT", "0"},     {"SeRbnAdjFw", "0"},     {"SeRbnAdjBk", "0"},
      {"SeIssueCount", "1"},   {"SeLabelLen", "760"},   {"SeIpAddress1", "192"}, {"SeIpAddress2", "168"},
      {"SeIpAddress3", "10"},  {"SeIpAddress4", "20"},  {"SeSubNet1", "255"},    {"SeSubNet2", "255"},
      {"SeSubNet3", "255"},    {"SeSubNet4", "0"},      {"SeGateway1", "0"},     {"SeGateway2", "0"},
      {"SeGateway3", "0"},     {"SeGateway4", "0"},     {"SeSocetPort", "8000"}};
  for (const auto& [name, text] : spins) EXPECT_EQ(SpinText(name.c_str()), text) << name;
  EXPECT_EQ(Find<QLineEdit>("txtDhcpName")->text(), QString());
  EXPECT_EQ(Find<QLineEdit>("txtDhcpName")->maxLength(), 16);

  // "AUTO" is selected, so the code boxes take no typing; nothing was reported.
  for (const char* name : {"SeCode1", "SeCode2", "SeCode3"}) {
    EXPECT_FALSE(Spin(name)->Enable()) << name;
    EXPECT_FALSE(Box(Spin(name))->isEnabled()) << name;
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, ControlsSitAtTheirTwipsPositionsInTheirFramesAndPages) {
  struct Expected {
    const char* name;
    const char* container;
    QRect twips;
  };
  const Expected expected[] = {
      {"btnGetStatus", "Client", {360, 120, 1335, 375}},
      {"lblStatus", "Client", {1920, 120, 4995, 375}},
      {"FrInterface", "Client", {8040, 0, 3375, 735}},
      {"btnSetup", "FrInterface", {2040, 240, 1095, 345}},
      {"SSTab1", "Client", {120, 840, 11415, 6495}},
      {"FrParameter", "PageParameterSetting", {120, 360, 7425, 6015}},
      {"cmbPeelOffTrq", "FrParameter", {6250, 4800, 1000, 345}},
      {"SeFowardPosition", "FrParameter", {2160, 3360, 1815, 375}},
      {"SeCode3", "FrParameter", {3360, 4080, 540, 375}},
      {"SeEuroCode", "FrParameter", {2160, 5520, 1905, 375}},
      {"SeThresholdT", "FrAdjustment", {2040, 3720, 1335, 375}},
      {"btnSet", "PageParameterSetting", {9480, 5400, 1500, 495}},
      {"FrSensorAdjust", "PageMaintenanceMode", {120, 4440, 7815, 1905}},
      {"btnTestPrint", "FrTestPrint", {4215, 2640, 1095, 375}},
      {"cmbDestination", "FrRamClear", {2160, 840, 1500, 345}},
      {"lblHeadCheck", "FrHeadCheck", {1920, 480, 3105, 300}},
      {"FrLan", "PageExtraSetting", {120, 480, 5535, 4200}},
      {"SeIpAddress3", "FrLan", {3405, 480, 500, 375}},
      {"SeSocetPort", "FrLan", {3480, 1560, 1815, 375}},
      {"txtDhcpName", "FrLan", {2400, 2280, 3015, 375}},
      {"btnLanSet", "FrLan", {3840, 3480, 1500, 495}},
  };
  for (const Expected& e : expected) {
    auto* widget = Find<QWidget>(e.name);
    auto* container = Find<QWidget>(e.container);
    ASSERT_TRUE(widget && container);
    EXPECT_TRUE(container->isAncestorOf(widget)) << e.name;
    EXPECT_EQ(TwipsRectOf(widget), e.twips) << e.name;
    EXPECT_EQ(widget->size(), QSize(TwipsToPixels(e.twips.width()), TwipsToPixels(e.twips.height()))) << e.name;
  }
  // Page coordinates count from the tab control's corner, tab row included.
  auto* tabs = Find<QTabWidget>("SSTab1");
  QGroupBox* parameter = Find<QGroupBox>("FrParameter");
  EXPECT_EQ(parameter->mapTo(tabs, QPoint(0, 0)), QPoint(TwipsToPixels(120), TwipsToPixels(360)));
  EXPECT_EQ(window->centralWidget()->size(), QSize(TwipsToPixels(11610), TwipsToPixels(7440)));

  EXPECT_EQ(Find<QLabel>("lblStatus")->font().pointSizeF(), 12.0);
  EXPECT_EQ(tabs->tabBar()->font().pointSizeF(), 12.0);
  EXPECT_EQ(parameter->font().pointSizeF(), 12.0);
  EXPECT_EQ(List("cmbFontCode")->font().pointSizeF(), 9.0);
  EXPECT_EQ(Find<QPushButton>("btnRead")->font().family(), QStringLiteral("Arial"));
}

TEST_F(MainWindowTest, InterfaceFrameAndSensorStepsUseTheWindowsPlainLayout) {
  // Only the pages' frame captions are 12 pt; the "Interface" frame above
  // the tabs has the window's Arial 9 pt.
  auto* frame = Find<QGroupBox>("FrInterface");
  EXPECT_EQ(frame->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(frame->font().pointSizeF(), 9.0);
  EXPECT_EQ(Find<QGroupBox>("FrSensorAdjust")->font().pointSizeF(), 12.0);

  // The three step texts start at 1440 twips, left-aligned, not indented.
  int steps = 0;
  for (QLabel* label : Find<QGroupBox>("FrSensorAdjust")->findChildren<QLabel*>()) {
    if (!label->text().startsWith(QStringLiteral("Step"))) continue;
    ++steps;
    EXPECT_EQ(TwipsRectOf(label).left(), 1440) << label->text().toStdString();
    EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_LE(label->indent(), 0) << label->text().toStdString();
    EXPECT_EQ(label->margin(), 0);
    EXPECT_EQ(label->frameWidth(), 0);
  }
  EXPECT_EQ(steps, 3);
}

TEST_F(MainWindowTest, ADropDownOpensInItsListsFontAndStyleThoughBuiltOnlyThen) {
  // The lists sit in frames whose captions are 12 pt; each list and its
  // drop-down show the window's Arial 9 pt in the list style.
  QComboBox* list = List("cmbParity");
  ASSERT_EQ(list->parentWidget()->font().pointSizeF(), 12.0);
  EXPECT_EQ(list->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(list->font().pointSizeF(), 9.0);
  EXPECT_EQ(list->style(), ListStyle());
  EXPECT_EQ(list->findChild<QAbstractItemView*>(), nullptr) << "the drop-down is built when it first opens";

  QTest::mouseClick(list, Qt::LeftButton);
  QAbstractItemView* view = list->view();
  ASSERT_TRUE(view->isVisible());
  EXPECT_EQ(view->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(view->font().pointSizeF(), 9.0);
  QTest::keyClick(view, Qt::Key_Escape);
  EXPECT_FALSE(view->isVisible());

  // A later change of font reaches the drop-down at once.
  list->setFont(ArialFont(10.0));
  EXPECT_EQ(view->font().pointSizeF(), 10.0);
}

TEST_F(MainWindowTest, EveryCaptionFitsItsControl) {
  // "PLUG & PLAY" keeps its ampersand as text.
  bool plugAndPlay = false;
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (label->text() == QStringLiteral("PLUG & PLAY")) plugAndPlay = label->buddy() == nullptr;
    const int needed = label->fontMetrics().horizontalAdvance(label->text());
    EXPECT_LE(needed, label->width()) << label->text().toStdString();
  }
  EXPECT_TRUE(plugAndPlay);
  for (QPushButton* button : window->findChildren<QPushButton*>())
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width())
        << button->objectName().toStdString();
  for (QGroupBox* frame : window->findChildren<QGroupBox*>())
    EXPECT_LE(frame->fontMetrics().horizontalAdvance(frame->title()) + 16, frame->width())
        << frame->objectName().toStdString();
  for (QComboBox* list : window->findChildren<QComboBox*>()) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    for (int i = 0; i < list->count(); ++i)
      EXPECT_LE(list->fontMetrics().horizontalAdvance(list->itemText(i)), field.width() - 2)
          << list->objectName().toStdString() << " " << list->itemText(i).toStdString();
  }
  QTabBar* bar = Find<QTabWidget>("SSTab1")->tabBar();
  ASSERT_EQ(bar->count(), 3);
  EXPECT_EQ(bar->tabText(0), QStringLiteral("Parameter Setting"));
  EXPECT_EQ(bar->tabText(1), QStringLiteral("Maintenance Mode"));
  EXPECT_EQ(bar->tabText(2), QStringLiteral("Extra Setting"));
  for (int i = 0; i < bar->count(); ++i)
    EXPECT_LE(bar->fontMetrics().horizontalAdvance(bar->tabText(i)), bar->tabRect(i).width());
}

TEST_F(MainWindowTest, SwitchingPagesShowsOnlyThatPagesFrames) {
  const std::vector<std::vector<const char*>> frames = {
      {"FrParameter", "FrAdjustment"},
      {"FmDiagPrint", "FrTestPrint", "FrSensorAdjust", "FrThresholdCalib", "FrRamClear", "FrHeadCheck"},
      {"FrLan"}};
  QTabBar* bar = Find<QTabWidget>("SSTab1")->tabBar();
  for (int page : {1, 2, 0}) {
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    for (size_t p = 0; p < frames.size(); ++p)
      for (const char* name : frames[p]) EXPECT_EQ(Find<QWidget>(name)->isVisible(), int(p) == page) << name;
    for (const char* name : {"btnGetStatus", "lblStatus", "FrInterface", "cmbInterface", "btnSetup"})
      EXPECT_TRUE(Find<QWidget>(name)->isVisible()) << name;
  }
}

// The named control a focus-chain widget belongs to (a spin edit's text box
// belongs to the spin edit, the tab row to the tab control).
QString OwnerName(QWidget* widget) {
  if (qobject_cast<QTabBar*>(widget)) return QStringLiteral("SSTab1");
  if (widget->objectName() == QStringLiteral("CText")) return widget->parentWidget()->objectName();
  return widget->objectName();
}

TEST_F(MainWindowTest, KeyboardFocusFollowsTheWindowOrder) {
  const QStringList expected = {
      "btnGetStatus",  "cmbInterface",      "btnSetup",          "SSTab1",          "cmbFontCode",
      "cmbZeroCode",   "cmbSpeed",          "cmbDataLeg",        "cmbStopBit",      "cmbParity",
      "cmbControl",    "cmbFowardWait",     "SeFowardPosition",  "cmbCode",         "cmbPeelOffStatus",
      "cmbFeedKey",    "cmbKanji",          "SeEuroCode",        "cmbAutoHdChk",    "cmbAckBusy",
      "cmbWebPrinter", "cmbInputPrime",     "cmbRibbonNearEnd",  "cmbExIoMode",     "cmbPlugPlay",
      "cmbLblRbnEnd",  "cmbPrePeelOff",     "cmbBackSpeed",      "cmbMaxiCodeSpec", "cmbKbIF",
      "cmbPeelOffTrq", "SeFeedAdj",         "SeCutAdj",          "SeBackAdj",       "SeXAdj",
      "SeToneAdjT",    "SeToneAdjD",        "SeRbnAdjFw",        "SeRbnAdjBk",      "SeThresholdR",
      "SeThresholdT",  "btnLoad",           "btnSave",           "btnRead",         "btnSet",
      "SeCode1",       "SeCode2",           "SeCode3",           "cmbDiagPrint",    "btnDiagPrint",
      "cmbPattern",    "SeIssueCount",      "cmbPrintSpeed",     "cmbSensor",       "cmbPrtType",
      "cmbType",       "SeLabelLen",        "btnTestPrint",      "btnReflect",      "btnTrans",
      "btnPaperEnd",   "cmbThresholdCalib", "btnThresholdCalib", "cmbRamClear",     "btnRamClear",
      "btnHeadCheck",  "SeIpAddress1",      "SeIpAddress2",      "SeIpAddress3",    "SeIpAddress4",
      "SeSubNet1",     "SeSubNet2",         "SeSubNet3",         "SeSubNet4",       "SeGateway1",
      "SeGateway2",    "SeGateway3",        "SeGateway4",        "cmbPort",         "SeSocetPort",
      "cmbDhcp",       "txtDhcpName",       "btnLanLoad",        "btnLanSave",      "btnLanRead",
      "btnLanSet",     "cmbDestination"};

  // The chain of widgets that take the focus by Tab, from GET STATUS on.
  QStringList chain;
  QWidget* start = Find<QWidget>("btnGetStatus");
  QWidget* widget = start;
  do {
    if ((widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !widget->focusProxy() &&
        widget->window() == window.get()) {
      const QString name = OwnerName(widget);
      if (expected.contains(name) && (chain.isEmpty() || chain.last() != name)) chain << name;
    }
    widget = widget->nextInFocusChain();
  } while (widget != start);
  EXPECT_EQ(chain.join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));

  // And Tab really walks it on the visible page.
  QWidget* first = Find<QWidget>("btnGetStatus");
  first->setFocus();
  for (const char* next : {"cmbInterface", "btnSetup", "SSTab1", "cmbFontCode", "cmbZeroCode"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(OwnerName(QApplication::focusWidget()), QString::fromLatin1(next));
  }
}

TEST_F(MainWindowTest, TheLockDisablesExactlyTheCommandButtons) {
  std::set<QString> commands;
  for (const char* name : kCommandButtons) commands.insert(QString::fromLatin1(name));
  QList<QPushButton*> ordered = window->CommandButtons();
  ASSERT_EQ(ordered.size(), 18);
  for (int i = 0; i < 18; ++i) EXPECT_EQ(ordered[i]->objectName(), QString::fromLatin1(kCommandButtons[i]));

  window->Link().BeginBusy();
  for (QPushButton* button : window->findChildren<QPushButton*>())
    EXPECT_EQ(button->isEnabled(), commands.count(button->objectName()) == 0) << button->objectName().toStdString();
  for (QComboBox* list : window->findChildren<QComboBox*>()) {
    if (list->objectName() == QStringLiteral("cmbDestination")) continue;  // follows the RAM-clear mode
    EXPECT_TRUE(list->isEnabled()) << list->objectName().toStdString();
  }
  for (UCSpinEdit* spin : window->findChildren<UCSpinEdit*>()) EXPECT_TRUE(spin->isEnabled());
  EXPECT_TRUE(Find<QLineEdit>("txtDhcpName")->isEnabled());
  EXPECT_TRUE(window->smAbout->isEnabled());
  EXPECT_TRUE(window->smExit->isEnabled());

  // Still usable while locked: switching pages and editing a value.
  ShowPageOf(Spin("SeSocetPort"));
  TypeInto(Spin("SeSocetPort"), QStringLiteral("9100"));
  EXPECT_EQ(SpinText("SeSocetPort"), QStringLiteral("9100"));

  // The unlock enables "Setup" too, even with USB selected.
  Pick(List("cmbInterface"), QStringLiteral("USB"));
  window->Link().EndBusy();
  for (QPushButton* button : window->findChildren<QPushButton*>()) EXPECT_TRUE(button->isEnabled());
}

TEST_F(MainWindowTest, UsbDisablesOnlySetupAndTheListSetsTheActiveLink) {
  QComboBox* links = List("cmbInterface");
  Pick(links, QStringLiteral("USB"));
  EXPECT_EQ(window->m_objInterface.GetActiveInterface(), kLinkUsb);
  for (QPushButton* button : window->findChildren<QPushButton*>())
    EXPECT_EQ(button->isEnabled(), button->objectName() != QStringLiteral("btnSetup"))
        << button->objectName().toStdString();

  Pick(links, QStringLiteral("LAN"));
  EXPECT_EQ(window->m_objInterface.GetActiveInterface(), kLinkLan);
  EXPECT_TRUE(Find<QPushButton>("btnSetup")->isEnabled());
  Pick(links, QStringLiteral("COM"));
  EXPECT_EQ(window->m_objInterface.GetActiveInterface(), kLinkCom);
  EXPECT_TRUE(messages.empty());  // choosing a link opens nothing
}

TEST_F(MainWindowTest, ManualCodesEnableTheCodeBoxesWhichKeepTheirValues) {
  QComboBox* code = List("cmbCode");
  Pick(code, QStringLiteral("MANUAL"));
  for (const char* name : {"SeCode1", "SeCode2", "SeCode3"}) EXPECT_TRUE(Box(Spin(name))->isEnabled()) << name;
  TypeInto(Spin("SeCode2"), QStringLiteral("0d"));
  EXPECT_EQ(SpinText("SeCode2"), QStringLiteral("0D"));

  for (const QString& entry : {QStringLiteral("{,|,}"), QStringLiteral("ESC,LF,NUL"), QStringLiteral("AUTO")}) {
    Pick(code, QStringLiteral("MANUAL"));
    Pick(code, entry);
    for (const char* name : {"SeCode1", "SeCode2", "SeCode3"}) EXPECT_FALSE(Box(Spin(name))->isEnabled()) << name;
  }
  EXPECT_EQ(SpinText("SeCode1"), QStringLiteral("1B"));
  EXPECT_EQ(SpinText("SeCode2"), QStringLiteral("0D"));
  EXPECT_EQ(SpinText("SeCode3"), QStringLiteral("00"));
}

TEST_F(MainWindowTest, CounterClearDisablesTheDestinationListKeepingItsSelection) {
  ShowPageOf(List("cmbRamClear"));
  QComboBox* destination = List("cmbDestination");
  Pick(destination, QStringLiteral("JA"));
  Pick(List("cmbRamClear"), QStringLiteral("MANTE.CNT"));
  EXPECT_FALSE(destination->isEnabled());
  EXPECT_EQ(destination->currentText(), QStringLiteral("JA"));
  Pick(List("cmbRamClear"), QStringLiteral("PARAMETER"));
  EXPECT_TRUE(destination->isEnabled());
}

TEST_F(MainWindowTest, MenusCarryTheirAccessKeysAndAboutShowsTheVersion) {
  QList<QAction*> menus = window->menuBar()->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("File(&F)"));
  EXPECT_EQ(menus[1]->text(), QStringLiteral("About(&A)"));
  EXPECT_EQ(window->smExit->text(), QStringLiteral("Exit(&E)"));
  EXPECT_EQ(window->smAbout->text(), QStringLiteral("About(&A)"));

  bool shown = false;
  SetDialogRunner([&](QDialog& dialog) {
    auto* about = qobject_cast<FmAbout*>(&dialog);
    ASSERT_NE(about, nullptr);
    shown = true;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Dazavu Setting Tool"));
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_EQ(about->Label1->text(), QStringLiteral("Version V002.003 (2.3.0)"));
    for (QLabel* label : {about->Label1, about->Label3, about->Label4}) {
      EXPECT_TRUE(label->font().bold());
      EXPECT_FALSE(label->text().contains(QLatin1Char('\n')));
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), TwipsToPixels(6000));
    }
    QTest::mouseClick(about->btnOk, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
  });
  window->smAbout->trigger();
  EXPECT_TRUE(shown);

  window->smExit->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace dz::test
