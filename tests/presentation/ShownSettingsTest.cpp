#include <gtest/gtest.h>

#include <set>
#include <string>

#include "CItemManager.h"
#include "ChoiceListData.h"
#include "SettingsFile.h"
#include "ShownSettings.h"
#include "SpinSetupData.h"

namespace dz {
namespace {

const ShownSetting& Row(const std::string& p_sControl) {
  for (const auto* table : {&ParameterSettings(), &LanSettings()})
    for (const ShownSetting& row : *table)
      if (p_sControl == row.control) return row;
  throw std::runtime_error("no row " + p_sControl);
}

std::map<std::string, std::string> Shown(const CItemManager& items, const std::vector<ShownSetting>& rows) {
  std::map<std::string, std::string> shown;
  for (const ShownSetting& row : rows) shown[row.caption] = ShownValueOf(items, row);
  return shown;
}

TEST(ShownSettingsTest, DefaultsShowAsTheWindowAfterStartUp) {
  CItemManager items;
  const auto p = Shown(items, ParameterSettings());
  EXPECT_EQ(p.at("FONT CODE"), "PC-850");
  EXPECT_EQ(p.at("SPEED"), "9600bps");
  EXPECT_EQ(p.at("DATA LENG."), "8bits");
  EXPECT_EQ(p.at("PARITY"), "EVEN");
  EXPECT_EQ(p.at("CONTROL"), "XON+READY AUTO");
  EXPECT_EQ(p.at("FOWARD WAIT"), "ON");
  EXPECT_EQ(p.at("BACK SPEED"), "LOW");
  EXPECT_EQ(p.at("PLUG & PLAY"), "OFF");
  EXPECT_EQ(p.at("FOWARD POSITION"), "0.0");
  EXPECT_EQ(p.at("FEED ADJ."), "0.0");
  EXPECT_EQ(p.at("TONE ADJ.<T>"), "0");
  EXPECT_EQ(p.at("RBN ADJ.<FW>"), "0");
  EXPECT_EQ(p.at("THRESHOLD<R>"), "1.0");
  EXPECT_EQ(p.at("THRESHOLD<T>"), "1.4");
  EXPECT_EQ(p.at("CODE 1st"), "1B");
  EXPECT_EQ(p.at("CODE 2nd"), "0A");
  EXPECT_EQ(p.at("CODE 3rd"), "00");
  EXPECT_EQ(p.at("EURO CODE"), "B0");
  const auto l = Shown(items, LanSettings());
  EXPECT_EQ(l.at("IP ADDRESS 1"), "192");
  EXPECT_EQ(l.at("IP ADDRESS 4"), "20");
  EXPECT_EQ(l.at("SUBNET MASK 4"), "0");
  EXPECT_EQ(l.at("SOCKET PORT"), "ON");
  EXPECT_EQ(l.at("SOCKET PORT NUMBER"), "8000");
  EXPECT_EQ(l.at("DHCP"), "OFF");
  EXPECT_EQ(l.at("DHCP HOST NAME"), "");
}

TEST(ShownSettingsTest, LoadedFileShowsListsTenthsHexAndSignsAsTheBoxes) {
  CItemManager items;
  ASSERT_TRUE(LoadParameterFile(items,
                                "{Z2;1,C0521021-0501B0A00110B1111111111111|}\r\n"
                                "{Z2;2,-015+100-05+005-02+07-07-151530|}\r\n"));
  EXPECT_EQ(ShownValueOf(items, Row("cmbFontCode")), "LATIN9");
  EXPECT_EQ(FieldTextOf(items, Row("cmbFontCode")), "C");
  EXPECT_EQ(ShownValueOf(items, Row("SeFeedAdj")), "-1.5");
  EXPECT_EQ(FieldTextOf(items, Row("SeFeedAdj")), "-015");
  EXPECT_EQ(ShownValueOf(items, Row("SeCutAdj")), "10.0");
  EXPECT_EQ(ShownValueOf(items, Row("SeToneAdjT")), "-2");
  EXPECT_EQ(ShownValueOf(items, Row("SeRbnAdjFw")), "-7");
  EXPECT_EQ(ShownValueOf(items, Row("SeThresholdR")), "1.5");
  EXPECT_EQ(ShownValueOf(items, Row("SeThresholdT")), "3.0");
  EXPECT_EQ(ShownValueOf(items, Row("SeFowardPosition")), "-0.5");
  EXPECT_EQ(ShownValueOf(items, Row("SeCode1")), "1B");
  EXPECT_EQ(ShownValueOf(items, Row("cmbRibbonNearEnd")), "30m");
}

TEST(ShownSettingsTest, ListValueNamingNoEntryIsMarkedNotHidden) {
  CItemManager items;
  items.m_objZeroStyle.SetValue(int32_t{7});
  EXPECT_EQ(ShownValueOf(items, Row("cmbZeroCode")), "<7>");
  items.m_objDhcpSetting.SetValue(std::string("X"));
  EXPECT_EQ(ShownValueOf(items, Row("cmbDhcp")), "<X>");
}

TEST(ShownSettingsTest, RowsCoverEveryWrittenItemOnceWithWindowCaptions) {
  std::set<std::string> items;
  for (const auto* table : {&ParameterSettings(), &LanSettings()})
    for (const ShownSetting& row : *table) EXPECT_TRUE(items.insert(row.item).second) << row.item;
  EXPECT_EQ(ParameterSettings().size(), 40u);
  EXPECT_EQ(LanSettings().size(), 17u);
  EXPECT_STREQ(RowCaptionOf("cmbPlugPlay"), "PLUG & PLAY");
  EXPECT_STREQ(RowCaptionOf("SeCode2"), "");
  EXPECT_STREQ(RowCaptionOf("SeSubNet3"), "SUBNET MASK");
  EXPECT_STREQ(RowCaptionOf("cmbDhcp"), "DHCP");
  // Every list and box named by a row has its entries or its set-up.
  for (const auto* table : {&ParameterSettings(), &LanSettings()})
    for (const ShownSetting& row : *table) {
      if (row.kind == ShownKind::List || row.kind == ShownKind::FontCodeList) {
        EXPECT_NE(FindChoiceList(row.control), nullptr) << row.control;
      }
      if (row.kind == ShownKind::Signed || row.kind == ShownKind::Hex || row.kind == ShownKind::Number ||
          row.kind == ShownKind::Threshold) {
        EXPECT_NE(FindSpinSetup(row.control), nullptr) << row.control;
      }
    }
}

TEST(ShownSettingsTest, ShownNumbersReadBack) {
  long long steps = 0;
  EXPECT_TRUE(ParseShownNumber("1.5", 1, false, steps));
  EXPECT_EQ(steps, 15);
  EXPECT_TRUE(ParseShownNumber("-50", 1, false, steps));
  EXPECT_EQ(steps, -500);
  EXPECT_TRUE(ParseShownNumber("1B", 0, true, steps));
  EXPECT_EQ(steps, 27);
  EXPECT_TRUE(ParseShownNumber("+012", 0, false, steps));
  EXPECT_EQ(steps, 12);
  EXPECT_FALSE(ParseShownNumber("1.55", 1, false, steps));
  EXPECT_FALSE(ParseShownNumber("1.5", 0, false, steps));
  EXPECT_FALSE(ParseShownNumber("", 1, false, steps));
  EXPECT_FALSE(ParseShownNumber("-", 0, false, steps));
  EXPECT_FALSE(ParseShownNumber("1G", 0, true, steps));
  EXPECT_EQ(FormatStepCount(-15, 1, false), "-1.5");
  EXPECT_EQ(FormatStepCount(5, 0, true), "05");
  EXPECT_EQ(FormatStepCount(176, 0, true), "B0");
  EXPECT_EQ(ChoicePosition(*FindChoiceList("cmbCode"), "{,|,}"), 2);
  EXPECT_EQ(ChoicePosition(*FindChoiceList("cmbCode"), "NONE"), -1);
}

}  // namespace
}  // namespace dz
