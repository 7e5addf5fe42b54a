#include <gtest/gtest.h>

#include <memory>

#include "CItemManager.h"
#include "ItemSnapshot.h"
#include "SettingsFile.h"

namespace {
using dz::test::ItemSnapshot;
const std::string kParameterLine = "{Z2;1,C0521021-0501B0A00110B1111111111111|}";
const std::string kAdjustmentLine = "{Z2;2,-015+100-05+005-02+07-07-151530|}";
}  // namespace

TEST(SettingsFileTest, DefaultLinesAndBytes) {
  CItemManager items;
  const auto dt1 = BuildParameterFileLines(items);
  ASSERT_EQ(dt1.size(), 2u);
  EXPECT_EQ(JoinFileLines(dt1),
            "{Z2;1,00210121+0001B0A00000B0000000000100|}\r\n{Z2;2,+000+000+00+000+00+00-00-001014|}\r\n");
  const auto dt2 = BuildLanFileLines(items);
  ASSERT_EQ(dt2.size(), 5u);
  EXPECT_EQ(dt2[0], "{IP;2,192,168,010,020|}");
  EXPECT_EQ(dt2[1], "{IP;3,000,000,000,000|}");
  EXPECT_EQ(dt2[2], "{IP;4,255,255,255,000|}");
  EXPECT_EQ(dt2[3], "{IS;1,08000|}");
  EXPECT_EQ(dt2[4].size(), 57u);
}

TEST(SettingsFileTest, ParameterFileRoundTrip) {
  CItemManager items;
  ASSERT_EQ(kParameterLine.size(), 43u);
  ASSERT_EQ(kAdjustmentLine.size(), 39u);
  ASSERT_TRUE(LoadParameterFile(items, kAdjustmentLine + "\r\n" + kParameterLine + "\r\n"));
  const auto lines = BuildParameterFileLines(items);
  EXPECT_EQ(lines[0], kParameterLine);
  // The ribbon-motor directions are written "-" whatever the file said.
  EXPECT_EQ(lines[1], "{Z2;2,-015+100-05+005-02+07-07-151530|}");
  EXPECT_EQ(ValueToNumber(items.m_objFontCode.GetValue()), 12);  // the list position, unconverted
}

TEST(SettingsFileTest, ParameterFileLineRules) {
  CItemManager items;
  const std::vector<std::string> before = ItemSnapshot(items);
  // Only the second line: the Parameter items keep their values.
  ASSERT_TRUE(LoadParameterFile(items, kAdjustmentLine + "\r\n"));
  EXPECT_EQ(items.m_objFontCode.GetValueString(), "0");
  EXPECT_EQ(items.m_objFeedAdjustment.GetValueString(), "015");
  // Repeated lines: the last wins; character 6 and the closing pair are not looked at.
  CItemManager repeat;
  ASSERT_TRUE(LoadParameterFile(repeat, "{Z2;2X+001+000+00+000+00+00-00-001014ab\r\n" + kAdjustmentLine));
  EXPECT_EQ(repeat.m_objFeedAdjustment.GetValueString(), "015");
  // An empty file loads nothing and is fine.
  CItemManager empty;
  EXPECT_TRUE(LoadParameterFile(empty, ""));
  EXPECT_EQ(ItemSnapshot(empty), before);
}

TEST(SettingsFileTest, RejectedParameterFileChangesNothing) {
  const std::vector<std::string> bad = {
      kAdjustmentLine + "\r\n" + kParameterLine.substr(0, 42) + "\r\n",  // 42 characters
      kAdjustmentLine + "\r\n\r\n" + kParameterLine + "\r\n",            // an empty line
      kAdjustmentLine + "\r\n{Z2;3,+000|}\r\n",                          // unknown record
      kAdjustmentLine + "\r\n{Z5;2,-015+100-05+005-02+07-07-151530|}",   // wrong code
      kAdjustmentLine + "\r\n{Z2",                                       // cut short
      "\r\n",
      kAdjustmentLine + "\n" + kParameterLine + "\r" + "garbage",
  };
  for (const std::string& file : bad) {
    CItemManager items;
    const std::vector<std::string> before = ItemSnapshot(items);
    EXPECT_FALSE(LoadParameterFile(items, file)) << file;
    EXPECT_EQ(ItemSnapshot(items), before) << file;
  }
}

TEST(SettingsFileTest, LineEnds) {
  EXPECT_EQ(SplitFileLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitFileLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitFileLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(SplitFileLines("").empty());
  CItemManager items;
  EXPECT_TRUE(LoadParameterFile(items, kAdjustmentLine));  // no line end at all
  EXPECT_EQ(items.m_objFeedDirection.GetValueString(), "-");
}

TEST(SettingsFileTest, LanFileRoundTripRestoresEveryLanItem) {
  CItemManager source;
  source.m_objIpAddress1.SetValue(std::string("10"));
  source.m_objGateway4.SetValue(std::string("254"));
  source.m_objSubnetMask3.SetValue(std::string("0"));
  source.m_objSocketPortSetting.SetValue(int32_t{0});
  source.m_objSocketPortNumber.SetValue(std::string("9100"));
  source.m_objDhcpSetting.SetValue(int32_t{1});
  source.m_objDhcpClientId.SetValue(std::string("0123456789ABCDEF0123456789ABCDEF"));
  source.m_objDhcpClientHost.SetValue(std::string("AB"));
  const std::string file = JoinFileLines(BuildLanFileLines(source));

  CItemManager target;
  ASSERT_TRUE(LoadLanFile(target, file));
  EXPECT_EQ(JoinFileLines(BuildLanFileLines(target)), file);
  EXPECT_EQ(target.m_objDhcpClientHost.GetValueString(), "AB");
  EXPECT_EQ(target.m_objSocketPortSetting.GetValueString(), "0");
}

TEST(SettingsFileTest, LanFileLineRules) {
  CItemManager items;
  items.m_objDhcpClientHost.SetValue(std::string("KEEP"));
  const std::string id(32, '7');
  // A 40-character DHCP line keeps the host name; an IP record 5 is skipped.
  ASSERT_TRUE(LoadLanFile(items, "{IH;1," + id + "|}\r\n{IP;5,001,002,003,004|}\r\n"));
  EXPECT_EQ(items.m_objDhcpClientHost.GetValueString(), "KEEP");
  EXPECT_EQ(items.m_objDhcpClientId.GetValueString(), id);
  EXPECT_EQ(items.m_objIpAddress1.GetValueString(), "192");
  // Fill characters are removed wherever they stand.
  ASSERT_TRUE(LoadLanFile(items, "{IH;1," + id +
                                     ",A\xFF"
                                     "B" +
                                     std::string(13, '\xFF') + "|}"));
  EXPECT_EQ(items.m_objDhcpClientHost.GetValueString(), "AB");
}

TEST(SettingsFileTest, RejectedLanFileChangesNothing) {
  const std::string good = "{IP;2,010,001,001,001|}\r\n";
  const std::vector<std::string> bad = {
      good + "{IP;2,010,001,001,01|}\r\n",   // 22 characters
      good + "{IP;X,010,001,001,001|}\r\n",  // fifth character not a digit
      good + "{IP;\r\n",                     // no fifth character
      good + "{IS;1,8000|}\r\n",             // 12 characters
      good + "{IH;1,short|}\r\n",            // DHCP line of another length
      good + "{Z2;1,00|}\r\n",               // not a LAN command
      good + "\r\n",                         // empty line
  };
  for (const std::string& file : bad) {
    CItemManager items;
    const std::vector<std::string> before = ItemSnapshot(items);
    EXPECT_FALSE(LoadLanFile(items, file)) << file;
    EXPECT_EQ(ItemSnapshot(items), before) << file;
  }
}

// A client id or host name read from a printer may hold CR and LF: the file
// the tool saves loads back to the same items, with CR LF, plain LF or mixed
// line ends between its lines.
TEST(SettingsFileTest, LanFieldsHoldingLineEndBytesRoundTrip) {
  const std::vector<std::pair<std::string, std::string>> fields = {
      {std::string("AB\r\nCD") + std::string(26, '0'), "host\r\nname"},
      {std::string(31, '1') + "\r", "\n"},
      {"\n" + std::string(31, '2'), "\r"},
      {std::string(32, '\n'), std::string(16, '\r')},
  };
  for (const auto& [id, host] : fields) {
    CItemManager items;
    items.m_objDhcpClientId.SetValue(id);
    items.m_objDhcpClientHost.SetValue(host);
    items.m_objSocketPortNumber.SetValue(9100);
    const std::vector<std::string> lines = BuildLanFileLines(items);
    const std::string crlf = JoinFileLines(lines);
    std::string lf, mixed;
    for (size_t i = 0; i < lines.size(); ++i) {
      lf += lines[i] + "\n";
      mixed += lines[i] + (i % 2 ? "\n" : "\r\n");
    }
    for (const std::string& file : {crlf, lf, mixed}) {
      CItemManager loaded;
      ASSERT_TRUE(LoadLanFile(loaded, file)) << file;
      EXPECT_EQ(BuildLanFileLines(loaded), lines) << file;
    }
  }
}

TEST(SettingsFileTest, FieldsHoldingFrameCharactersAreAFormatError) {
  // Such a line would carry a second command: LOAD refuses it and stores nothing.
  const std::vector<std::pair<std::string, std::string>> fields = {
      {std::string(15, '3') + "|}\r\n" + std::string(13, '3'), "host"},
      {std::string(32, 'F'), "|}{Z4;0|}"},
      {"{" + std::string(31, 'F'), ""},
  };
  for (const auto& [id, host] : fields) {
    CItemManager items;
    items.m_objDhcpClientId.SetValue(id);
    items.m_objDhcpClientHost.SetValue(host);
    CItemManager loaded;
    loaded.m_objIpAddress1.SetValue(7);
    EXPECT_FALSE(LoadLanFile(loaded, JoinFileLines(BuildLanFileLines(items)))) << id << host;
    EXPECT_EQ(loaded.m_objIpAddress1.GetValueString(false), "007");
  }
  std::string parameter = JoinFileLines(BuildParameterFileLines(*std::make_unique<CItemManager>()));
  parameter[6] = '|';
  CItemManager loaded;
  EXPECT_FALSE(LoadParameterFile(loaded, parameter));
}

TEST(SettingsFileTest, LineWidthsOnlyTakeWholeClosedLines) {
  // A 40-character DHCP line followed by a socket port line stays two lines.
  const std::string dhcp40 = "{IH;1," + std::string(32, 'F') + "|}";
  const std::string port = "{IS;1,09100|}";
  EXPECT_EQ(SplitFileLines(dhcp40 + "\r\n" + port + "\r\n", LanLineWidths), (std::vector<std::string>{dhcp40, port}));
  EXPECT_EQ(SplitFileLines(dhcp40 + "\n" + port + "\n", LanLineWidths), (std::vector<std::string>{dhcp40, port}));
  // A line broken before its width, with no closing "|}" at that width,
  // stays broken (and fails the load).
  EXPECT_EQ(SplitFileLines("{IS;1,\r\n09100|}\r\n", LanLineWidths), (std::vector<std::string>{"{IS;1,", "09100|}"}));
  CItemManager items;
  EXPECT_FALSE(LoadLanFile(items, "{IS;1,\r\n09100|}\r\n"));
  // An empty line is still a line of its own.
  EXPECT_FALSE(LoadLanFile(items, port + "\r\n\r\n"));
  // A width is taken only when a line end follows it.
  EXPECT_EQ(SplitFileLines("{IS;1\r091|}", LanLineWidths), (std::vector<std::string>{"{IS;1", "091|}"}));
  // Parameter lines keep their widths too.
  const std::string record = "{Z2;2,+000+000+00+000+00+00-00-001014|}";
  EXPECT_EQ(SplitFileLines(record + "\r\n", ParameterLineWidths), (std::vector<std::string>{record}));
}
