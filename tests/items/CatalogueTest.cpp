#include <gtest/gtest.h>

#include "CItemManager.h"

namespace {
std::string Fields(const std::vector<CItem*>& group) {
  std::string text;
  for (const CItem* item : group) text += item->GetValueString();
  return text;
}
int Width(const std::vector<CItem*>& group) {
  int width = 0;
  for (const CItem* item : group) width += item->m_iLength;
  return width;
}
}  // namespace

TEST(CatalogueTest, DefaultWriteRecordFields) {
  CItemManager items;
  std::vector<CItem*> group;
  ASSERT_TRUE(items.SetItem_Parameter(group));
  EXPECT_EQ(group.size(), 30u);
  EXPECT_EQ(Fields(group), "00210121+0001B0A00000B0000000000100");
  ASSERT_TRUE(items.SetItem_Adjustment(group));
  EXPECT_EQ(group.size(), 18u);
  EXPECT_EQ(Fields(group), "+000+000+00+000+00+00-00-001014");
}

TEST(CatalogueTest, GroupSizesAndRecordWidths) {
  CItemManager items;
  std::vector<CItem*> g;
  struct Expect {
    bool (CItemManager::*accessor)(std::vector<CItem*>&);
    size_t count;
    int width;
  };
  const Expect expected[] = {
      {&CItemManager::GetItem_Adjustment, 14, 23},
      {&CItemManager::GetItem_Parameter, 14, 21},
      {&CItemManager::GetItem_Sensor, 4, 8},
      {&CItemManager::GetItem_Lan, 18, 92},
      {&CItemManager::GetItem_ParameterExpansion1, 23, 27},
      {&CItemManager::SetItem_Parameter, 30, 35},
      {&CItemManager::SetItem_Adjustment, 18, 31},
      {&CItemManager::SetItem_ExtraIpAddress, 4, 12},
      {&CItemManager::SetItem_ExtraGateway, 4, 12},
      {&CItemManager::SetItem_ExtraSubnet, 4, 12},
  };
  for (const Expect& e : expected) {
    g.assign(7, nullptr);  // an array that already holds entries is replaced
    EXPECT_TRUE((items.*e.accessor)(g));
    EXPECT_EQ(g.size(), e.count);
    EXPECT_EQ(Width(g), e.width);
  }
}

TEST(CatalogueTest, AllItemsInTableOrderWithTheirDefaults) {
  CItemManager items;
  const std::vector<CItem*> all = items.AllItems();
  ASSERT_EQ(all.size(), 74u);
  EXPECT_EQ(all.front(), &items.m_objFeedDirection);
  EXPECT_EQ(all[18], &items.m_objFontCode);
  EXPECT_EQ(all[49], &items.m_objDhcpClientHost);
  EXPECT_EQ(all.back(), &items.m_objKeyboardIF);
  EXPECT_EQ(items.m_objDhcpClientId.GetValueString(), std::string(32, 'F'));
  EXPECT_EQ(items.m_objEuroCode.GetValueString(), "B0");
  EXPECT_EQ(items.m_objSocketPortNumber.GetValueString(), "08000");
  EXPECT_TRUE(items.m_objRibbonMotorDirection_F.m_bFixedValue);
  EXPECT_TRUE(items.m_objRibbonMotorDirection_B.m_bFixedValue);
  int fixed = 0;
  for (const CItem* item : all) fixed += item->m_bFixedValue;
  EXPECT_EQ(fixed, 2);
}

TEST(CatalogueTest, GroupsShareTheCatalogueItems) {
  CItemManager items;
  std::vector<CItem*> read, write;
  items.GetItem_Parameter(read);
  items.SetItem_Parameter(write);
  EXPECT_EQ(read[4], write[0]);
  EXPECT_EQ(read[4], &items.m_objFontCode);
  read[4]->SetValue(std::string("C"));
  EXPECT_EQ(write[0]->GetValueString(), "C");
}

TEST(CatalogueTest, FontCodeConversion) {
  EXPECT_EQ(ConvertFontCode("1"), "3");
  EXPECT_EQ(ConvertFontCode("2"), "1");
  EXPECT_EQ(ConvertFontCode("3"), "2");
  EXPECT_EQ(ConvertFontCode("A"), "A");
  EXPECT_EQ(ConvertFontCode("0"), "0");
  EXPECT_EQ(ConvertFontCode("f"), "F");
  EXPECT_EQ(ConvertFontCode(""), "0");
  EXPECT_EQ(ConvertFontCode("\xFF"), "0");
}
