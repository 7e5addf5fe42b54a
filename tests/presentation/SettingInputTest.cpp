#include <gtest/gtest.h>

#include "CItemManager.h"
#include "Profile.h"
#include "SettingInput.h"
#include "SettingWrite.h"
#include "SettingsFile.h"

namespace dz {
namespace {

// A printer whose every setting differs from the factory values.
void LoadOwnSettings(CItemManager& items) {
  ASSERT_TRUE(LoadParameterFile(items,
                                "{Z2;1,C0511121-0501B0A00110B1111111111111|}\r\n"
                                "{Z2;2,-015+100-05+005-02+07-07-151530|}\r\n"));
  ASSERT_TRUE(LoadLanFile(items,
                          "{IP;2,010,001,002,003|}\r\n{IP;3,010,001,002,254|}\r\n{IP;4,255,255,000,000|}\r\n"
                          "{IS;0,09100|}\r\n{IH;1,0123456789ABCDEF0123456789ABCDEF,PRN-7\xFF\xFF\xFF\xFF\xFF\xFF"
                          "\xFF\xFF\xFF\xFF\xFF|}\r\n"));
}

SettingChange Change(const std::string& text) {
  SettingChange change;
  std::string error;
  EXPECT_TRUE(ParseAssignment(text, change, error)) << error;
  return change;
}

std::string Refusal(const std::string& text) {
  SettingChange change;
  std::string error;
  if (!ParseAssignment(text, change, error)) return error;
  std::vector<SettingChange> changes = {change};
  EXPECT_FALSE(CheckChanges(changes, error)) << text;
  return error;
}

TEST(SettingInputTest, EveryValueShowPrintsStoresTheSameFields) {
  CItemManager own;
  LoadOwnSettings(own);
  CItemManager factory;
  for (const ShownSetting* row : AllSettingRows()) {
    if (!IsWritable(*row)) continue;
    const std::string shown = ShownValueOf(own, *row);
    std::vector<SettingChange> changes = {Change(std::string(row->caption) + "=" + shown)};
    std::string error;
    ASSERT_TRUE(CheckChanges(changes, error)) << error;
    StoreShownInput(factory, *row, shown);
    EXPECT_EQ(FieldTextOf(factory, *row), FieldTextOf(own, *row)) << row->caption << " " << shown;
    EXPECT_EQ(ShownValueOf(factory, *row), shown) << row->caption;
  }
  // A list value that names no entry of the window's list (a newer printer)
  // shows as "<7>" and is taken back as that position.
  own.m_objZeroStyle.SetValue(std::string("7"));
  std::string error;
  EXPECT_EQ(ShownValueOf(own, *FindSettingByCaption("ZERO CODE")), "<7>");
  EXPECT_TRUE(CheckShownInput(*FindSettingByCaption("ZERO CODE"), "<7>", error));
  StoreShownInput(factory, *FindSettingByCaption("ZERO CODE"), "<7>");
  EXPECT_FALSE(CheckShownInput(*FindSettingByCaption("ZERO CODE"), "<17>", error));
  EXPECT_FALSE(CheckShownInput(*FindSettingByCaption("ZERO CODE"), "<A>", error));
  EXPECT_FALSE(CheckShownInput(*FindSettingByCaption("ZERO CODE"), "<>", error));
  EXPECT_FALSE(CheckShownInput(*FindSettingByCaption("FONT CODE"), "<16>", error));
  EXPECT_FALSE(CheckShownInput(*FindSettingByCaption("FEED ADJ."), "<+0A>", error));
  // The records the two catalogues write are then the same, byte for byte.
  EXPECT_EQ(BuildParameterFileLines(factory), BuildParameterFileLines(own));
  EXPECT_EQ(BuildLanFileLines(factory), BuildLanFileLines(own));
}

TEST(SettingInputTest, ValuesAreStoredAsTheWindowStoresThem) {
  CItemManager items;
  StoreShownInput(items, *FindSettingByCaption("FONT CODE"), "LATIN9");
  StoreShownInput(items, *FindSettingByCaption("FEED ADJ."), "-1.5");
  StoreShownInput(items, *FindSettingByCaption("X ADJ."), "+99.5");
  StoreShownInput(items, *FindSettingByCaption("CODE 1st"), "7c");
  StoreShownInput(items, *FindSettingByCaption("THRESHOLD<R>"), "4.0");
  StoreShownInput(items, *FindSettingByCaption("SPEED"), " 19200bps ");
  EXPECT_EQ(BuildParameterFileLines(items), (std::vector<std::string>{"{Z2;1,C0310121+0007C0A00000B0000000000100|}",
                                                                      "{Z2;2,-015+000+00+995+00+00-00-004014|}"}));
  StoreShownInput(items, *FindSettingByCaption("IP ADDRESS 4"), "5");
  StoreShownInput(items, *FindSettingByCaption("SOCKET PORT NUMBER"), "9100");
  EXPECT_EQ(BuildLanFileLines(items)[0], "{IP;2,192,168,010,005|}");
  EXPECT_EQ(BuildLanFileLines(items)[3], "{IS;1,09100|}");
  // A host name as a printer reports it, filled with character 255, is the
  // name without the fill.
  const std::string reported = "P1" + std::string(14, '\xFF');
  std::string error;
  EXPECT_TRUE(CheckShownInput(*FindSettingByCaption("DHCP HOST NAME"), reported, error)) << error;
  StoreShownInput(items, *FindSettingByCaption("DHCP HOST NAME"), reported);
  EXPECT_EQ(ValueToText(items.m_objDhcpClientHost.GetValue()), "P1");
}

TEST(SettingInputTest, RefusalsNameTheCaptionAndWhatItTakes) {
  EXPECT_EQ(Refusal("SPEED=19200"),
            "SPEED: '19200' is not one of 2400bps, 4800bps, 9600bps, 19200bps, 38400bps, 115200bps");
  EXPECT_EQ(Refusal("FEED ADJ.=50.5"), "FEED ADJ.: '50.5' is out of range -50.0 to 50.0");
  EXPECT_EQ(Refusal("FEED ADJ.=1.55"),
            "FEED ADJ.: '1.55' is not a number with at most 1 decimal place; it takes -50.0 to 50.0");
  EXPECT_EQ(Refusal("TONE ADJ.<T>=1.5"), "TONE ADJ.<T>: '1.5' is not a whole number; it takes -10 to 10");
  EXPECT_EQ(Refusal("RBN ADJ.<FW>=3"), "RBN ADJ.<FW>: '3' is out of range -15 to 0");
  EXPECT_EQ(Refusal("EURO CODE=1F"), "EURO CODE: '1F' is out of range 20 to FF");
  EXPECT_EQ(Refusal("CODE 1st=XY"), "CODE 1st: 'XY' is not a hexadecimal number; it takes 00 to FF");
  EXPECT_EQ(Refusal("IP ADDRESS 1=256"), "IP ADDRESS 1: '256' is out of range 0 to 255");
  EXPECT_EQ(Refusal("SOCKET PORT NUMBER="), "SOCKET PORT NUMBER: '' is not a whole number; it takes 0 to 65535");
  EXPECT_EQ(Refusal("KB I/F=OFF"), "KB I/F: the printer takes no write for this setting (it is only read)");
  EXPECT_EQ(Refusal("DHCP HOST NAME=ABCDEFGHIJKLMNOPQ"),
            "DHCP HOST NAME: 'ABCDEFGHIJKLMNOPQ' does not fit; it takes up to 16 characters (printable characters, "
            "none of { | })");
  // A frame character would end the command inside the field.
  EXPECT_NE(Refusal("DHCP HOST NAME=A|}B").find("does not fit"), std::string::npos);
  EXPECT_NE(Refusal("DHCP HOST NAME={").find("does not fit"), std::string::npos);
  EXPECT_NE(Refusal("DHCP HOST NAME=A\x01").find("does not fit"), std::string::npos);
  EXPECT_NE(Refusal("DHCP CLIENT ID=0123").find("takes 32 characters"), std::string::npos);
  EXPECT_EQ(Refusal("FEED ADJ=1.0"), "unknown setting 'FEED ADJ' (did you mean 'FEED ADJ.'?)");
  EXPECT_EQ(Refusal("speed=9600bps"), "unknown setting 'speed' (did you mean 'SPEED'?)");
  EXPECT_EQ(Refusal("SPEED"), "'SPEED' is not CAPTION=VALUE");

  // The same setting twice: once with one value, refused with two.
  std::vector<SettingChange> twice = {Change("SPEED=9600bps"), Change("SPEED= 9600bps")};
  std::string error;
  EXPECT_TRUE(CheckChanges(twice, error));
  EXPECT_EQ(twice.size(), 1u);
  twice = {Change("SPEED=9600bps"), Change("PARITY=ODD"), Change("SPEED=2400bps")};
  EXPECT_FALSE(CheckChanges(twice, error));
  EXPECT_EQ(error, "SPEED: given twice, as '9600bps' and '2400bps'");
  // A value may hold "=": the caption ends at the first.
  EXPECT_EQ(Change("DHCP HOST NAME=A=B").value, "A=B");
}

TEST(SettingInputTest, OnlyTheRecordsHoldingTheChangeAreBuiltFromWhatThePrinterHolds) {
  CItemManager printer;
  LoadOwnSettings(printer);
  const std::vector<std::string> before = BuildParameterFileLines(printer);

  std::vector<SettingChange> changes = {Change("SPEED=19200bps"), Change("FONT CODE=PC-850")};
  WritePlan plan = PlanSettingWrite(changes);
  EXPECT_EQ(plan.records, std::vector<WriteRecord>{WriteRecord::Parameter});
  EXPECT_EQ(plan.readKinds, (std::vector<int>{1, 4}));
  // The Parameter record carries the stop bit, which no printer reports.
  std::string error;
  EXPECT_FALSE(CheckUnreportedGiven(plan, changes, error));
  EXPECT_EQ(error,
            "STOP BIT must be given: the Parameter write record these settings are sent in carries it, and the "
            "printer never reports it, so its current value cannot be kept (add 'STOP BIT=1bit', one of 1bit, 2bits)");
  changes.push_back(Change("STOP BIT=1bit"));
  plan = PlanSettingWrite(changes);
  EXPECT_TRUE(CheckUnreportedGiven(plan, changes, error));
  const std::vector<std::string> lines = BuildChangedRecords(printer, plan, changes);
  // Font code, speed and stop bit changed; every other field the printer's.
  std::string expected = before[0];
  expected[6] = '0';
  expected[8] = '3';
  expected[10] = '0';
  EXPECT_EQ(lines, std::vector<std::string>{expected});
  EXPECT_EQ(BuildParameterFileLines(printer)[1], before[1]);
  EXPECT_EQ(plan.unreported.size(), 1u);
  EXPECT_EQ(plan.compared.size(), 28u);  // the Parameter frame without KB I/F and STOP BIT

  changes = {Change("X ADJ.=-1.5"), Change("IP ADDRESS 4=9"), Change("DHCP HOST NAME=")};
  plan = PlanSettingWrite(changes);
  EXPECT_EQ(plan.records,
            (std::vector<WriteRecord>{WriteRecord::Adjustment, WriteRecord::IpAddress, WriteRecord::Dhcp}));
  EXPECT_EQ(plan.readKinds, (std::vector<int>{0, 1, 3}));
  EXPECT_TRUE(CheckUnreportedGiven(plan, changes, error));
  EXPECT_EQ(BuildChangedRecords(printer, plan, changes),
            (std::vector<std::string>{"{Z2;2,-015+100-05-015-02+07-07-151530|}", "{IP;2,010,001,002,009|}",
                                      "{IH;1,0123456789ABCDEF0123456789ABCDEF," + std::string(16, '\xFF') + "|}"}));
}

TEST(SettingInputTest, SettingsOfOneUnitGoToManyPrintersOnlyWhenAskedAndStaticAddressesNever) {
  std::string error;
  const std::vector<SettingChange> calibration = {Change("SPEED=9600bps"), Change("FEED ADJ.=0.5"),
                                                  Change("DHCP HOST NAME=A")};
  EXPECT_TRUE(CheckPerUnit(calibration, 1, false, error));
  EXPECT_FALSE(CheckPerUnit(calibration, 2, false, error));
  EXPECT_EQ(error,
            "these settings belong to one printer and would be copied onto 2 printers: FEED ADJ., DHCP HOST NAME "
            "(--per-unit to do it anyway)");
  EXPECT_TRUE(CheckPerUnit(calibration, 2, true, error));

  const std::vector<SettingChange> address = {Change("IP ADDRESS 4=30"), Change("DHCP=OFF")};
  EXPECT_TRUE(CheckPerUnit(address, 1, false, error));
  EXPECT_FALSE(CheckPerUnit(address, 3, true, error));
  EXPECT_EQ(error, "a static IP ADDRESS (DHCP OFF) goes to one printer at a time: 3 printers would share it");
  EXPECT_FALSE(CheckPerUnit({Change("IP ADDRESS 1=10")}, 2, true, error));
  EXPECT_TRUE(CheckPerUnit({Change("IP ADDRESS 1=10"), Change("DHCP=ON")}, 2, true, error));
  EXPECT_FALSE(CheckPerUnit({Change("SUBNET MASK 4=0")}, 2, false, error));
  EXPECT_TRUE(CheckPerUnit({Change("SOCKET PORT NUMBER=9100"), Change("DHCP=ON")}, 2, false, error));
}

TEST(SettingInputTest, ProfilesReadWhatShowPrints) {
  std::vector<SettingChange> changes;
  std::string error;
  ASSERT_TRUE(
      ParseProfileText("# site defaults\r\n"
                       "[Parameter Setting / Parameter]\r\n"
                       "SPEED: 19200bps\r\n"
                       "STOP BIT: (not reported by the printer)\r\n"
                       "\r\n"
                       "CODE 1st: 1B\n"
                       "[Extra Setting / LAN]\n"
                       "  # indented comment\n"
                       "DHCP HOST NAME: \n"
                       "SOCKET PORT NUMBER: 9100",
                       changes, error))
      << error;
  ASSERT_EQ(changes.size(), 4u);
  EXPECT_STREQ(changes[0].row->caption, "SPEED");
  EXPECT_EQ(changes[0].value, "19200bps");
  EXPECT_STREQ(changes[1].row->caption, "CODE 1st");
  EXPECT_STREQ(changes[2].row->caption, "DHCP HOST NAME");
  EXPECT_EQ(changes[2].value, "");
  EXPECT_EQ(changes[3].value, "9100");
  EXPECT_TRUE(ParseProfileText("", changes, error));
  EXPECT_TRUE(changes.empty());

  EXPECT_FALSE(ParseProfileText("SPEED: 19200bps\nFEED ADJ: 1.0\n", changes, error));
  EXPECT_EQ(error, "line 2: unknown setting 'FEED ADJ' (did you mean 'FEED ADJ.'?)");
  EXPECT_FALSE(ParseProfileText("\n\nPARITY: MARK\n", changes, error));
  EXPECT_EQ(error, "line 3: PARITY: 'MARK' is not one of NONE, EVEN, ODD");
  EXPECT_TRUE(ParseProfileText("[Extra Setting / LAN]\nSPEED: 9600bps\n", changes, error));  // appended lines
  EXPECT_FALSE(ParseProfileText("[Parameter Setting]\n", changes, error));
  EXPECT_EQ(error, "line 1: unknown group [Parameter Setting]");
  EXPECT_FALSE(ParseProfileText("SPEED 9600bps\n", changes, error));
  EXPECT_EQ(error, "line 1: not CAPTION: value");
  EXPECT_FALSE(ParseProfileText("KB I/F: OFF\n", changes, error));
  EXPECT_FALSE(ParseProfileText("SPEED: 9600bps\nSPEED: 2400bps\n", changes, error));

  // What a profile made from a printer leaves out.
  for (const char* caption : {"FEED ADJ.", "THRESHOLD<T>", "IP ADDRESS 1", "DEFAULT GATEWAY 2", "SUBNET MASK 3",
                              "DHCP HOST NAME", "DHCP CLIENT ID", "KB I/F"})
    EXPECT_FALSE(InProfile(*FindSettingByCaption(caption), false)) << caption;
  EXPECT_FALSE(InProfile(*FindSettingByCaption("STOP BIT"), true));
  EXPECT_TRUE(InProfile(*FindSettingByCaption("STOP BIT"), false));
  for (const char* caption : {"SPEED", "FONT CODE", "CODE 1st", "DHCP", "SOCKET PORT", "SOCKET PORT NUMBER"})
    EXPECT_TRUE(InProfile(*FindSettingByCaption(caption), true)) << caption;
}

}  // namespace
}  // namespace dz
