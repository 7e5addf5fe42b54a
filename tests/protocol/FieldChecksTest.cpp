#include <gtest/gtest.h>

#include <algorithm>

#include "ByteString.h"
#include "CItemManager.h"
#include "FieldChecks.h"
#include "Replies.h"
#include "SettingsFile.h"

namespace {
using dz::test::B;

std::string DefaultFile(bool p_bLan) {
  CItemManager items;
  return JoinFileLines(p_bLan ? BuildLanFileLines(items) : BuildParameterFileLines(items));
}

std::string Check(SettingsFileKind p_eKind, const std::string& p_sFile) {
  std::vector<std::string> lines;
  return CheckSettingsFile(p_eKind, p_sFile, lines);
}

// The record reply a printer in the catalogue's state sends for the kind.
Bytes RecordOf(CItemManager& p_objItems, int p_iKind) {
  std::vector<CItem*> group;
  p_objItems.GetItem_ReadKind(p_iKind, group);
  std::string text = "{" + std::to_string(p_iKind);
  for (const CItem* item : group) {
    std::string field = item->GetValueString();
    field.resize(static_cast<size_t>(item->m_iLength), '\xFF');  // the host name's fill
    text += field;
  }
  return B(text + "|}");
}
}  // namespace

TEST(FieldChecksTest, WholeFilesAreAcceptedWithTheirLines) {
  for (bool lan : {false, true}) {
    const std::string file = DefaultFile(lan);
    std::vector<std::string> lines;
    EXPECT_EQ(CheckSettingsFile(lan ? SettingsFileKind::Lan : SettingsFileKind::Parameter, file, lines), "");
    EXPECT_EQ(JoinFileLines(lines), file);
    std::string lf = file;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    EXPECT_EQ(Check(lan ? SettingsFileKind::Lan : SettingsFileKind::Parameter, lf), "") << "LF line ends";
  }
  // A list position the window's list lacks (a newer firmware's entry), the
  // host name's fill and a short host name are values the items can hold.
  CItemManager items;
  items.m_objKanjiCode.SetValue(int32_t{9});
  items.m_objDhcpClientHost.SetValue(std::string("ab-1"));
  items.m_objDhcpSetting.SetValue(int32_t{1});
  EXPECT_EQ(Check(SettingsFileKind::Parameter, JoinFileLines(BuildParameterFileLines(items))), "");
  EXPECT_EQ(Check(SettingsFileKind::Lan, JoinFileLines(BuildLanFileLines(items))), "");
}

TEST(FieldChecksTest, PartialMisorderedAndForeignFilesAreRejectedNamingTheLine) {
  CItemManager items;
  const std::vector<std::string> p = BuildParameterFileLines(items);
  const std::vector<std::string> l = BuildLanFileLines(items);
  struct Case {
    SettingsFileKind kind;
    std::string file;
    const char* reason;
  };
  const Case cases[] = {
      {SettingsFileKind::Parameter, "", "holds exactly 2 lines; this one holds 0"},
      {SettingsFileKind::Lan, "", "holds exactly 5 lines; this one holds 0"},
      {SettingsFileKind::Parameter, JoinFileLines({p[0]}), "holds exactly 2 lines; this one holds 1"},
      {SettingsFileKind::Parameter, JoinFileLines({p[1], p[0]}), "line 1: is not the Parameter write record"},
      {SettingsFileKind::Parameter, JoinFileLines({p[0], p[1], p[1]}), "holds exactly 2 lines; this one holds 3"},
      {SettingsFileKind::Parameter, JoinFileLines({p[0], p[1], ""}), "this one holds 3"},
      {SettingsFileKind::Parameter, JoinFileLines(l), "line 1: is not the Parameter write record"},
      {SettingsFileKind::Lan, JoinFileLines(p), "line 1: is not the IP address line"},
      {SettingsFileKind::Lan, JoinFileLines({l[0], l[1], l[2], l[3]}), "holds exactly 5 lines; this one holds 4"},
      {SettingsFileKind::Lan, JoinFileLines({l[0], l[2], l[1], l[3], l[4]}), "line 2: is not the gateway line"},
      // The 40-character DHCP line that LOAD takes is no line SAVE writes.
      {SettingsFileKind::Lan, JoinFileLines({l[0], l[1], l[2], l[3], l[4].substr(0, 38) + "|}"}),
       "line 5: the DHCP line is 40 characters long, not 57"},
  };
  for (const Case& c : cases) {
    const std::string reason = Check(c.kind, c.file);
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason << " / " << c.file;
  }
}

TEST(FieldChecksTest, EveryFieldMustBeAValueItsItemCanHold) {
  CItemManager items;
  const std::string p0 = BuildParameterFileLines(items)[0];
  const std::string p1 = BuildParameterFileLines(items)[1];
  const std::vector<std::string> l = BuildLanFileLines(items);
  const auto with = [](std::string line, size_t at, const std::string& text) {
    return line.replace(at, text.size(), text);
  };
  const auto lan = [&](size_t index, const std::string& line) {
    std::vector<std::string> lines = l;
    lines[index] = line;
    return Check(SettingsFileKind::Lan, JoinFileLines(lines));
  };
  const auto parameter = [&](const std::string& first, const std::string& second) {
    return Check(SettingsFileKind::Parameter, JoinFileLines({first, second}));
  };
  EXPECT_NE(parameter(with(p0, 7, "x"), p1).find("line 1: field 2"), std::string::npos);  // zero style: decimal
  EXPECT_NE(parameter(with(p0, 6, "G"), p1).find("not a hexadecimal number"), std::string::npos);  // font code
  EXPECT_EQ(parameter(with(p0, 6, "C"), p1), "");
  EXPECT_NE(parameter(p0, with(p1, 6, "*")).find("neither \"+\" nor \"-\""), std::string::npos);
  EXPECT_NE(parameter(p0, with(p1, 7, " 12")).find("not a decimal number"), std::string::npos);
  EXPECT_NE(parameter(with(p0, 5, ";"), p1).find("where \",\" belongs"), std::string::npos);
  EXPECT_NE(lan(0, with(l[0], 7, "-1")).find("line 1: field 1"), std::string::npos);
  EXPECT_NE(lan(3, with(l[3], 7, "8a00")).find("not a decimal number"), std::string::npos);
  // The frame characters and control characters in the DHCP texts.
  EXPECT_NE(lan(4, with(l[4], 6, "|}{Z4;0|}")).find("line 5"), std::string::npos);
  EXPECT_NE(lan(4, with(l[4], 39, "host{")).find("\"{\", \"|\" or \"}\""), std::string::npos);
  EXPECT_NE(lan(4, with(l[4], 39, "ho\x1b[2J")).find("control character"), std::string::npos);
  EXPECT_NE(lan(4, with(l[4], 10, "\x9b")).find("control character"), std::string::npos);
  EXPECT_NE(lan(4, with(l[4], 10, "\r\n")).find("line 5"), std::string::npos);
}

TEST(FieldChecksTest, RecordRepliesMustHoldValuesOfTheirItems) {
  CItemManager items;
  for (int kind = 0; kind <= 4; ++kind) EXPECT_EQ(CheckRecordReply(kind, RecordOf(items, kind)), "") << kind;
  // The font code comes as the printer's hexadecimal digit.
  Bytes parameter = RecordOf(items, 1);
  parameter[2 + 8] = 'A';
  EXPECT_EQ(CheckRecordReply(1, parameter), "");
  parameter[2 + 8] = 'G';
  EXPECT_NE(CheckRecordReply(1, parameter).find("record 1, field 5"), std::string::npos);

  const Bytes good = RecordOf(items, 0);
  Bytes nul(good.size(), 0);
  EXPECT_NE(CheckRecordReply(0, nul), "");
  nul[0] = '{';
  EXPECT_NE(CheckRecordReply(0, nul).find("field 1"), std::string::npos);
  EXPECT_NE(CheckRecordReply(0, B("{0ABCDEFGHIJKLMNOPQRSTUVWXYZ")), "");
  EXPECT_NE(CheckRecordReply(0, B("{Z5;0|}")), "");                         // an echo of the command
  EXPECT_NE(CheckRecordReply(0, Bytes(good.begin(), good.end() - 3)), "");  // the last field one byte short
  Bytes lan = RecordOf(items, 3);
  lan[2 + 44] = '|';
  EXPECT_NE(CheckRecordReply(3, lan).find("\"{\", \"|\" or \"}\""), std::string::npos);
  EXPECT_NE(CheckRecordReply(5, good), "");
}

TEST(FieldChecksTest, StatusRepliesAreThirteenBytesFromSohWithAKnownCode) {
  EXPECT_EQ(CheckStatusReply(B("\x01S00ABCDEFGH\r")), "");
  EXPECT_EQ(CheckStatusReply(B("\x01S40ABCDEFGH\r")), "");  // known, without a text
  EXPECT_EQ(CheckStatusReply(B(std::string("\x01S\0\0ABCDEFGH\r", 13))), "unknown status code 00 00");
  EXPECT_EQ(CheckStatusReply(B("\x01S03ABCDEFGH\r")), "unknown status code 30 33");
  EXPECT_NE(CheckStatusReply(B("\x01S00ABCDEFG")), "");
  EXPECT_NE(CheckStatusReply(B(std::string(13, '\0'))), "");
  EXPECT_NE(CheckStatusReply(B("{WS|}")), "");
}

TEST(FieldChecksTest, AFileCarriesWhatItsWriteRecordsHoldAndAPrinterWhatItsReadRecordsHold) {
  const CItemManager items;
  const auto has = [](const std::vector<const CItem*>& set, const CItem& item) {
    return std::find(set.begin(), set.end(), &item) != set.end();
  };
  const auto parameter = ItemsCarriedBy(items, SettingsFileKind::Parameter);
  const auto lan = ItemsCarriedBy(items, SettingsFileKind::Lan);
  const auto reported = ItemsReportedByPrinter(items);
  EXPECT_EQ(parameter.size(), 48u);
  EXPECT_EQ(lan.size(), 17u);
  EXPECT_FALSE(has(parameter, items.m_objKeyboardIF));
  EXPECT_TRUE(has(reported, items.m_objKeyboardIF));
  EXPECT_TRUE(has(parameter, items.m_objStopBit));
  EXPECT_FALSE(has(reported, items.m_objStopBit));
  EXPECT_TRUE(has(lan, items.m_objDhcpClientId));
  EXPECT_FALSE(has(lan, items.m_objLanSetting));
  EXPECT_TRUE(has(reported, items.m_objLanSetting));
}

TEST(FieldChecksTest, MessagesShowControlBytesEscaped) {
  EXPECT_EQ(EscapeForMessage("a\x1b[2J\\b\xff\x85"), "a\\x1b[2J\\x5cb\xff\\x85");
}
