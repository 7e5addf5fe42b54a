#include <gtest/gtest.h>

#include "ByteString.h"
#include "CItemManager.h"
#include "Replies.h"

namespace {
using dz::test::B;

Bytes Frame(const std::string& fields) { return B("{0" + fields + "|}"); }
std::string Fields(const std::vector<CItem*>& group) {
  std::string text;
  for (const CItem* item : group) text += item->GetValueString();
  return text;
}
}  // namespace

TEST(StatusTest, MessagesAndReceivedMark) {
  struct Row {
    const char* code;
    const char* message;
  };
  const Row rows[] = {{"00", "ON LINE"},
                      {"01", "Head Open (ON LINE)"},
                      {"06", "Command Error"},
                      {"22", "Thermistor Connector omission"},
                      {"30", "The stacked form is full."},
                      {"41", "ON LINE"},
                      {"54", "Flash Memory Empty"},
                      {"55", "  Save Mode"}};
  for (const Row& row : rows) {
    std::string message;
    int received = 0;
    EXPECT_TRUE(GetStatusMessage(row.code, message, received));
    EXPECT_EQ(message, row.message) << row.code;
    EXPECT_EQ(received, 1);
  }
}

TEST(StatusTest, KnownCodeWithoutTextDiffersFromUnknownCodeOnlyInTheMark) {
  std::string message = "previous";
  int received = 0;
  GetStatusMessage("40", message, received);
  EXPECT_EQ(message, "previous");
  EXPECT_EQ(received, 1);

  received = 0;
  for (const char* code : {"03", "4", "", "0O", "ON"}) {
    GetStatusMessage(code, message, received);
    EXPECT_EQ(message, "previous");
    EXPECT_EQ(received, 0) << code;
  }
}

TEST(StatusTest, CodeIsBytesTwoAndThree) {
  EXPECT_EQ(StatusCodeOf(Bytes{1, 2, '5', '5', 0, 0, 0, 0, 0, 0, 0, 0, 0}), "55");
  EXPECT_EQ(StatusCodeOf(Bytes{1, 2, '0'}), "0");
  EXPECT_EQ(StatusCodeOf(Bytes{1}), "");
}

TEST(ReplyTest, ReplyLengths) {
  EXPECT_EQ(GetReplyLength(-1), 7);
  EXPECT_EQ(GetReplyLength(0), 54);
  EXPECT_EQ(GetReplyLength(1), 50);
  EXPECT_EQ(GetReplyLength(2), 24);
  EXPECT_EQ(GetReplyLength(3), 192);
  EXPECT_EQ(GetReplyLength(4), 62);
  EXPECT_EQ(GetReplyLength(-2), 0);
  EXPECT_EQ(GetReplyLength(5), 0);
}

TEST(ReplyTest, ParameterRecordConvertsOnlyTheFontCode) {
  CItemManager items;
  bool expected = true;
  //            X    PPC  F Z C K S R  T  J Y E
  ASSERT_TRUE(StoreRecordReply(items, 1, Frame("-012+000112013014001A"), expected));
  EXPECT_FALSE(expected);
  EXPECT_EQ(items.m_objXCoordinateDirection.GetValueString(), "-");
  EXPECT_EQ(std::get<std::string>(items.m_objXCoordinateAdjustment.GetValue()), "012");
  EXPECT_EQ(items.m_objFontCode.GetValueString(), "3");  // printer code 1 is list position 3
  EXPECT_EQ(items.m_objThresholdAdjustment_R.GetValueString(), "30");
  EXPECT_EQ(items.m_objEuroCode.GetValueString(), "1A");
  EXPECT_EQ(ValueToNumber(items.m_objEuroCode.GetValue()), 26);

  for (const auto& [field, position] : {std::pair<char, int>{'2', 1}, {'3', 2}, {'A', 10}}) {
    std::string fields = "-012+000" + std::string(1, field) + "12013014001A";
    StoreRecordReply(items, 1, Frame(fields), expected);
    EXPECT_EQ(ValueToNumber(items.m_objFontCode.GetValue()), position);
  }
}

TEST(ReplyTest, AdjustmentRecordKeepsFixedRibbonDirections) {
  CItemManager items;
  bool expected = true;
  ASSERT_TRUE(StoreRecordReply(items, 0, Frame("-015+100-05+03-02+07+12"), expected));
  std::vector<CItem*> group;
  items.GetItem_Adjustment(group);
  EXPECT_EQ(Fields(group), "-015+100-05+03-02-07-12");
  // The magnitude "1" fields of kinds other than 1 are stored as received text.
  EXPECT_EQ(std::get<std::string>(items.m_objFeedAdjustment.GetValue()), "015");
}

TEST(ReplyTest, LanAndExpansionRecordsRoundTrip) {
  CItemManager items;
  bool expected = true;
  const std::string host = "PRN1" + std::string(12, '\xFF');
  const std::string lan = "11921680010020000000000002552550000001080011" + std::string(32, '0') + host;
  ASSERT_EQ(lan.size(), 92u);
  ASSERT_TRUE(StoreRecordReply(items, 3, Frame(lan), expected));
  std::vector<CItem*> group;
  items.GetItem_Lan(group);
  EXPECT_EQ(Fields(group), lan);
  EXPECT_EQ(items.m_objDhcpClientHost.GetValueString(), host);

  const std::string expansion = "5201+05FF0D0A111111111111110";
  ASSERT_TRUE(StoreRecordReply(items, 4, Frame(expansion.substr(0, 27)), expected));
  items.GetItem_ParameterExpansion1(group);
  EXPECT_EQ(Fields(group), expansion.substr(0, 27));
}

TEST(ReplyTest, InvalidKindsStoreNothing) {
  CItemManager items;
  for (int kind : {-1, 5, 99, -100}) {
    bool expected = true;
    EXPECT_FALSE(StoreRecordReply(items, kind, Frame("-015+100-05+03-02+07+12"), expected));
    EXPECT_TRUE(expected);
  }
  std::vector<CItem*> group;
  items.SetItem_Adjustment(group);
  EXPECT_EQ(Fields(group), "+000+000+00+000+00+00-00-001014");
}

TEST(ReplyTest, ShortFrameStoresOnlyCompleteFields) {
  CItemManager items;
  bool expected = true;
  Bytes frame = Frame("-015+100-05+03-02+07+12");
  frame.resize(2 + 6);  // "-015+1": two complete fields and part of the next
  ASSERT_TRUE(StoreRecordReply(items, 0, frame, expected));
  EXPECT_EQ(items.m_objFeedDirection.GetValueString(), "-");
  EXPECT_EQ(items.m_objFeedAdjustment.GetValueString(), "015");
  EXPECT_EQ(items.m_objCutPosDirection.GetValueString(), "+");
  EXPECT_EQ(items.m_objCutPosAdjustment.GetValueString(), "000");  // unchanged

  for (size_t size : {0u, 1u, 2u}) {
    CItemManager fresh;
    Bytes cut = Frame(std::string(92, '9'));
    cut.resize(size);
    EXPECT_TRUE(StoreRecordReply(fresh, 3, cut, expected));
    EXPECT_EQ(fresh.m_objLanSetting.GetValueString(), "0");
  }
}

TEST(ReplyTest, ExtractItemTextTakesOnlyExistingBytes) {
  CItem item;
  item.m_iLength = 3;
  const Bytes data = {'{', '0', 'A', 0xFF, 'C', 'D'};
  EXPECT_EQ(ExtractItemText(item, data, 2), std::string("A\xFF"
                                                        "C"));
  EXPECT_EQ(ExtractItemText(item, data, 4), "CD");
  EXPECT_EQ(ExtractItemText(item, data, 6), "");
  EXPECT_EQ(ExtractItemText(item, data, 1000), "");
}
