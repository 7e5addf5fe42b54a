// The page bindings between the catalogue and the controls of the pages
// "Parameter Setting" and "Extra Setting", driven through the real widgets,
// checked on the record texts the printer would get.
#include <QKeyEvent>
#include <QTabWidget>

#include "Commands.h"
#include "ItemSnapshot.h"
#include "PrinterModel.h"
#include "WindowFixture.h"
#include "Replies.h"
#include "bindings/ParameterBinding.h"

namespace dz::test {
namespace {

using PageBindingTest = WindowFixture;

// The fields of an Adjustment write record ("{Z2;2," fields "|}").
std::string AdjustmentFields(CItemManager& items) {
  const std::string command = BuildWriteRecordCommand(items, 2);
  return command.substr(6, command.size() - 8);
}

// The reply of the simulated printer to a read of one kind: "{", the kind,
// then the fields as the printer stores them.
Bytes ReadReply(dzsim::PrinterModel& printer, int kind) {
  const std::vector<Bytes> replies = printer.Feed("{Z5;" + std::to_string(kind) + "|}");
  return replies.size() == 1 ? replies[0] : Bytes();
}

// Key presses carrying any characters, as a keyboard layout delivers them
// (QTest::keyClicks knows ASCII only).
void TypeCharacters(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

void RefreshAndUpdate(FmMain& window) {
  ASSERT_TRUE(window.RefreshParameterSettingItem(window.m_objItemManager, false));
  ASSERT_TRUE(window.RefreshLanSettingItem(window.m_objItemManager, false));
  ASSERT_TRUE(window.UpdateParameterSettingItem(window.m_objItemManager));
  ASSERT_TRUE(window.UpdateLanSettingItem(window.m_objItemManager));
}

TEST_F(PageBindingTest, RefreshThenUpdateKeepsEveryFieldForDefaultsAndForReadValues) {
  CItemManager& items = window->m_objItemManager;
  const std::vector<std::string> defaults = ItemSnapshot(items);
  RefreshAndUpdate(*window);
  EXPECT_EQ(ItemSnapshot(items), defaults);

  // Values as a read stores them: the records of a printer that holds these
  // fields (field texts as the printer keeps them).
  dzsim::PrinterModel printer;
  for (const auto& [name, value] : std::vector<std::pair<const char*, std::string>>{
           {"FeedDirection", "-"},
           {"FeedAdjustment", "012"},
           {"BackFeedAdjustment", "95"},
           {"XCoordinateDirection", "-"},
           {"XCoordinateAdjustment", "995"},
           {"ToneDirection_T", "-"},
           {"ToneAdjustment_T", "07"},
           {"RibbonMotorAdjustment_F", "12"},
           {"ThresholdAdjustment_R", "25"},
           {"FontCode", "2"},  // printer numbering: "PC-852"
           {"ControlCode", "3"},
           {"ControlCode1st", "7E"},
           {"EuroCode", "80"},
           {"KeyboardIF", "3"},
           {"IpAddress4", "005"},
           {"SocketPortNumber", "09100"},
           {"DhcpSetting", "1"},
           {"DhcpClientHost", std::string("PRN") + std::string(13, '\xFF')},
       })
    ASSERT_TRUE(printer.SetField(name, value)) << name;
  bool expected = true;
  for (int kind : {0, 1, 3, 4}) ASSERT_TRUE(StoreRecordReply(items, kind, ReadReply(printer, kind), expected));
  ASSERT_EQ(items.m_objFeedAdjustment.GetValueString(), "012");
  const std::vector<std::string> read = ItemSnapshot(items);

  RefreshAndUpdate(*window);
  EXPECT_EQ(ItemSnapshot(items), read);
  EXPECT_EQ(List("cmbFontCode")->currentText(), QStringLiteral("PC-852"));
  EXPECT_EQ(List("cmbKbIF")->currentText(), QStringLiteral("KB80"));
  EXPECT_EQ(SpinText("SeFeedAdj"), QStringLiteral("-1.2"));
  EXPECT_EQ(SpinText("SeToneAdjT"), QStringLiteral("-7"));
  EXPECT_EQ(SpinText("SeRbnAdjFw"), QStringLiteral("-12"));
  EXPECT_EQ(SpinText("SeXAdj"), QStringLiteral("-99.5"));
  EXPECT_EQ(SpinText("SeCode1"), QStringLiteral("7E"));
  EXPECT_EQ(SpinText("SeEuroCode"), QStringLiteral("80"));
  EXPECT_EQ(SpinText("SeThresholdR"), QStringLiteral("2.5"));
  EXPECT_EQ(SpinText("SeIpAddress4"), QStringLiteral("5"));
  // The host name shows its fill characters; the DHCP record adds none.
  EXPECT_EQ(Find<QLineEdit>("txtDhcpName")->text(), QStringLiteral("PRN") + QString(13, QChar(0xFF)));
  const std::string dhcp = BuildDhcpCommand(items);
  EXPECT_NE(dhcp.find(std::string("PRN") + std::string(13, '\xFF') + "|}"), std::string::npos);
  EXPECT_TRUE(Box(Spin("SeCode1"))->isEnabled());  // "MANUAL" came with the read
  EXPECT_TRUE(messages.empty());
}

TEST_F(PageBindingTest, ListChoicesAndTypedValuesReachTheWriteRecords) {
  CItemManager& items = window->m_objItemManager;
  Pick(List("cmbFontCode"), QStringLiteral("LATIN9"));
  TypeInto(Spin("SeFeedAdj"), QStringLiteral("-1.5"));
  TypeInto(Spin("SeCutAdj"), QStringLiteral("50"));
  TypeInto(Spin("SeRbnAdjFw"), QStringLiteral("-7"));
  ASSERT_TRUE(window->UpdateParameterSettingItem(items));

  EXPECT_EQ(ValueToNumber(items.m_objFontCode.GetValue()), 12);
  EXPECT_EQ(BuildWriteRecordCommand(items, 1).substr(6, 1), "C");

  EXPECT_EQ(ValueToText(items.m_objFeedDirection.GetValue()), "-");
  EXPECT_EQ(ValueToNumber(items.m_objFeedAdjustment.GetValue()), -15);
  const std::string fields = AdjustmentFields(items);
  EXPECT_EQ(fields.substr(0, 4), "-015");
  EXPECT_EQ(fields.substr(4, 4), "+500");
  EXPECT_EQ(fields.substr(8, 3), "+00");  // back feed untouched: + and 00
  EXPECT_EQ(fields.substr(21, 3), "-07");
  EXPECT_TRUE(messages.empty());
}

TEST_F(PageBindingTest, RibbonMotorMagnitudesAreAlwaysWrittenWithMinus) {
  CItemManager& items = window->m_objItemManager;
  ASSERT_TRUE(window->UpdateParameterSettingItem(items));
  EXPECT_EQ(AdjustmentFields(items).substr(21, 6), "-00-00");

  // Even a positive magnitude that reached the items is written with "-".
  items.m_objRibbonMotorDirection_B.SetValue(std::string("+"));
  items.m_objRibbonMotorAdjustment_B.SetValue(3);
  EXPECT_EQ(AdjustmentFields(items).substr(24, 3), "-03");
  ASSERT_TRUE(window->RefreshParameterSettingItem(items, false));
  EXPECT_EQ(SpinText("SeRbnAdjBk"), QStringLiteral("-3"));
}

TEST_F(PageBindingTest, ValuesThatNameNoListEntryLeaveTheListEmptyAndTheItemAsItWas) {
  CItemManager& items = window->m_objItemManager;
  items.m_objZeroStyle.SetValue(std::string("7"));  // two entries only
  items.m_objKanjiCode.SetValue(std::string("X"));  // not a number
  items.m_objFontCode.SetValue(std::string("1F"));  // hexadecimal 31, beyond "UTF-8"
  items.m_objDhcpSetting.SetValue(-1);
  items.m_objControlCode.SetValue(std::string("9"));
  const std::vector<std::string> before = ItemSnapshot(items);

  RefreshAndUpdate(*window);
  for (const char* name : {"cmbZeroCode", "cmbKanji", "cmbFontCode", "cmbDhcp", "cmbCode"})
    EXPECT_EQ(List(name)->currentIndex(), -1) << name;
  for (const char* name : {"SeCode1", "SeCode2", "SeCode3"}) EXPECT_FALSE(Box(Spin(name))->isEnabled()) << name;
  EXPECT_EQ(ItemSnapshot(items), before);

  // Picking an entry afterwards stores it as usual.
  Pick(List("cmbKanji"), QStringLiteral("TYPE2"));
  ASSERT_TRUE(window->UpdateParameterSettingItem(items));
  EXPECT_EQ(items.m_objKanjiCode.GetValueString(), "1");
}

TEST_F(PageBindingTest, ValuesOutsideASpinRangeAreReportedAndTheRefreshGoesOn) {
  CItemManager& items = window->m_objItemManager;
  items.m_objBackFeedAdjustment.SetValue(std::string("99"));  // beyond 9.5
  items.m_objThresholdAdjustment_T.SetValue(std::string("33"));
  ASSERT_TRUE(window->RefreshParameterSettingItem(items, false));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, QStringLiteral("It is a value that exceeds the useful range. "));
  EXPECT_EQ(SpinText("SeBackAdj"), QStringLiteral("0.0"));
  EXPECT_EQ(SpinText("SeThresholdT"), QStringLiteral("3.3"));
}

TEST_F(PageBindingTest, HostNameAndAddressesReachTheLanRecords) {
  CItemManager& items = window->m_objItemManager;
  ShowPageOf(Find<QLineEdit>("txtDhcpName"));
  QLineEdit* name = Find<QLineEdit>("txtDhcpName");
  QTest::mouseClick(name, Qt::LeftButton);
  QTest::keyClicks(name, QStringLiteral("HOST"));
  TypeInto(Spin("SeIpAddress4"), QStringLiteral("5"));
  Pick(List("cmbDhcp"), QStringLiteral("ON"));
  ASSERT_TRUE(window->UpdateLanSettingItem(items));

  EXPECT_EQ(ValueToText(items.m_objDhcpClientHost.GetValue()), "HOST");
  const std::string dhcp = BuildDhcpCommand(items);
  EXPECT_EQ(dhcp.substr(0, 6), "{IH;1,");
  EXPECT_NE(dhcp.find("HOST" + std::string(12, '\xFF') + "|}"), std::string::npos);
  EXPECT_EQ(BuildIpAddressCommand(items, 2), "{IP;2,192,168,010,005|}");

  // Typing stops at 16 characters; blanks are kept as typed.
  name->clear();
  QTest::keyClicks(name, QStringLiteral(" a b c d e f g h i j "));
  EXPECT_EQ(name->text().size(), 16);
  ASSERT_TRUE(window->UpdateLanSettingItem(items));
  EXPECT_EQ(ValueToText(items.m_objDhcpClientHost.GetValue()), " a b c d e f g h");
}

TEST_F(PageBindingTest, AHostNameWithoutSingleByteCodesChangesNothing) {
  CItemManager& items = window->m_objItemManager;
  ShowPageOf(Find<QLineEdit>("txtDhcpName"));
  TypeInto(Spin("SeIpAddress1"), QStringLiteral("10"));
  QLineEdit* name = Find<QLineEdit>("txtDhcpName");
  QTest::mouseClick(name, Qt::LeftButton);
  TypeCharacters(name, QStringLiteral("Dr\u00FCcker\u20AC"));  // ü has a code, € has none
  const std::vector<std::string> before = ItemSnapshot(items);

  QChar bad;
  EXPECT_FALSE(window->UpdateLanSettingItem(items, &bad));
  EXPECT_EQ(bad, QChar(0x20AC));
  EXPECT_EQ(ItemSnapshot(items), before);

  name->setText(QStringLiteral("Dr\u00FCcker"));
  EXPECT_TRUE(window->UpdateLanSettingItem(items, &bad));
  EXPECT_EQ(ValueToText(items.m_objDhcpClientHost.GetValue()),
            "Dr\xFC"
            "cker");
  EXPECT_EQ(items.m_objIpAddress1.GetValueString(), "010");
}

TEST(DirectionSign, IsMinusOnlyBelowZero) {
  EXPECT_EQ(GetDirectionSign(Value(int32_t{-15})), "-");
  EXPECT_EQ(GetDirectionSign(Value(std::string("-0.5"))), "-");
  EXPECT_EQ(GetDirectionSign(Value(std::string("-0"))), "+");
  EXPECT_EQ(GetDirectionSign(Value(int32_t{0})), "+");
  EXPECT_EQ(GetDirectionSign(Value(std::string("12"))), "+");
  EXPECT_EQ(GetDirectionSign(Value(std::string("abc"))), "+");
  EXPECT_EQ(GetDirectionSign(Value()), "+");
}

}  // namespace
}  // namespace dz::test
