#include <gtest/gtest.h>

#include "CItem.h"

namespace {
CItem MakeItem(int16_t width, int16_t type, const Value& def, bool fixed = false) {
  CItem item;
  item.m_iLength = width;
  item.m_iDataType = type;
  item.InitializeValue(def, fixed);
  return item;
}
}  // namespace

TEST(ItemTest, NewItemIsEmpty) {
  CItem item;
  EXPECT_TRUE(std::holds_alternative<std::monostate>(item.m_vValue));
  EXPECT_EQ(item.m_iLength, 0);
  EXPECT_EQ(item.m_iDataType, 0);
  EXPECT_FALSE(item.m_bFixedValue);
  EXPECT_EQ(item.GetValueString(), "");
}

TEST(ItemTest, DecimalFieldIsAbsoluteZeroPaddedAndNeverCut) {
  CItem item = MakeItem(3, TypeDecimal, int32_t{0});
  item.SetValue(int32_t{-12});
  EXPECT_EQ(item.GetValueString(), "012");
  item.SetValue(std::string("012"));
  EXPECT_EQ(item.GetValueString(), "012");
  item.SetValue(int32_t{1234});
  EXPECT_EQ(item.GetValueString(), "1234");
  item.SetValue(std::string(" -7 "));
  EXPECT_EQ(item.GetValueString(), "007");
  item.SetValue(-15.0);
  EXPECT_EQ(item.GetValueString(), "015");

  CItem two = MakeItem(2, TypeDecimal, int32_t{0});
  two.SetValue(std::string("+5"));
  EXPECT_EQ(two.GetValueString(), "05");
}

TEST(ItemTest, DecimalFieldWithUnreadableTextKeepsTheTextFilledToWidth) {
  CItem item = MakeItem(3, TypeDecimal, int32_t{0});
  item.SetValue(std::string("1A"));
  EXPECT_EQ(item.GetValueString(), "01A");
  item.SetValue(std::string("\xFF\xFF\xFF"));
  EXPECT_EQ(item.GetValueString(), "\xFF\xFF\xFF");
  item.SetValue(std::string(""));
  EXPECT_EQ(item.GetValueString(), "000");
  item.SetValue(std::string("1e400"));
  EXPECT_EQ(item.GetValueString(), "1e400");
  item.SetValue(std::string("99999999999999999999999"));  // huge but a number: no overflow
  EXPECT_FALSE(item.GetValueString().empty());
}

TEST(ItemTest, HexFieldReadsHexTextAndFormatsUpperCase) {
  CItem item = MakeItem(2, TypeHex, int32_t{0});
  item.SetValue(std::string("1b"));
  EXPECT_EQ(ValueToNumber(item.GetValue()), 27);
  EXPECT_EQ(item.GetValueString(), "1B");
  item.SetValue(std::string(""));
  EXPECT_EQ(ValueToNumber(item.GetValue()), 0);
  EXPECT_EQ(item.GetValueString(), "00");
  item.SetValue(std::string("FFFF"));
  EXPECT_EQ(ValueToNumber(item.GetValue()), 65535);
  EXPECT_EQ(item.GetValueString(), "FFFF");
  item.SetValue(std::string("7G3"));  // reading stops at the first other character
  EXPECT_EQ(ValueToNumber(item.GetValue()), 7);
  // A whole number is read through its decimal text: 27 becomes 0x27.
  item.SetValue(int32_t{27});
  EXPECT_EQ(ValueToNumber(item.GetValue()), 39);
  EXPECT_TRUE(std::holds_alternative<double>(item.GetValue()));

  CItem one = MakeItem(1, TypeHex, int32_t{0});
  one.SetValue(std::string("A"));
  EXPECT_EQ(one.GetValueString(), "A");
  CItem def = MakeItem(2, TypeHex, int32_t{27});
  EXPECT_EQ(def.GetValueString(), "1B");
}

TEST(ItemTest, FixedItemReportsItsDefault) {
  CItem item = MakeItem(1, TypeText, std::string("-"), true);
  EXPECT_TRUE(item.SetValue(std::string("+")));
  EXPECT_EQ(std::get<std::string>(item.GetValue()), "-");
  EXPECT_EQ(item.GetValueString(), "-");
  EXPECT_EQ(std::get<std::string>(item.m_vValue), "+");  // accepted, not reported
}

TEST(ItemTest, DefaultValueOnRequest) {
  CItem item = MakeItem(3, TypeDecimal, int32_t{192});
  item.SetValue(int32_t{5});
  EXPECT_EQ(item.GetValueString(), "005");
  EXPECT_EQ(item.GetValueString(true), "192");
  EXPECT_EQ(std::get<int32_t>(item.GetValue(true)), 192);
}

TEST(ItemTest, TextFieldIsNeitherFilledNorCut) {
  CItem host = MakeItem(16, TypeText, std::string(""));
  EXPECT_EQ(host.GetValueString(), "");
  host.SetValue(int32_t{5});
  EXPECT_EQ(host.GetValueString(), "5");
  host.SetValue(std::string("+"));
  EXPECT_EQ(host.GetValueString(), "+");
  host.SetValue(int32_t{-3});
  EXPECT_EQ(host.GetValueString(), "-3");
  host.SetValue(std::string(40, 'x'));
  EXPECT_EQ(host.GetValueString().size(), 40u);
}

TEST(ItemTest, ValueConversions) {
  double n = 1;
  EXPECT_TRUE(ValueToNumber(Value(std::string("012")), n));
  EXPECT_EQ(n, 12);
  EXPECT_TRUE(ValueToNumber(Value(std::string("+5")), n));
  EXPECT_EQ(n, 5);
  EXPECT_TRUE(ValueToNumber(Value(std::string(" -12 ")), n));
  EXPECT_EQ(n, -12);
  EXPECT_TRUE(ValueToNumber(Value(), n));
  EXPECT_EQ(n, 0);
  EXPECT_FALSE(ValueToNumber(Value(std::string("+")), n));
  EXPECT_FALSE(ValueToNumber(Value(std::string("1 2")), n));
  EXPECT_EQ(ValueToText(Value(27.0)), "27");
  EXPECT_EQ(ValueToText(Value(2.5)), "2.5");
  EXPECT_EQ(ReadHexText("ffffffff"), 4294967295);
  EXPECT_EQ(ReadHexText("xyz"), 0);
}
