#include <gtest/gtest.h>

#include "CItemManager.h"
#include "SettingsFile.h"
#include "WriteRecords.h"

namespace {

TEST(WriteRecordsTest, RecordLinesAreTheLinesOfBothSettingsFiles) {
  CItemManager items;
  ASSERT_TRUE(LoadParameterFile(items,
                                "{Z2;1,C0521021-0501B0A00110B1111111111111|}\r\n"
                                "{Z2;2,-015+100-05+005-02+07-07-151530|}\r\n"));
  items.m_objDhcpClientHost.SetValue(std::string("HOST"));
  items.m_objGateway3.SetValue(int32_t{7});
  std::vector<std::string> expected = BuildParameterFileLines(items);
  for (const std::string& line : BuildLanFileLines(items)) expected.push_back(line);
  std::vector<std::string> lines;
  for (WriteRecord record : AllWriteRecords()) lines.push_back(BuildWriteRecordLine(items, record));
  EXPECT_EQ(lines, expected);
}

TEST(WriteRecordsTest, CoverageOfTheItemsThatCrossRecords) {
  CItemManager items;
  // Written in the Parameter record, reported by no read record.
  EXPECT_EQ(ReadKindOfItem(items, &items.m_objStopBit), -1);
  EXPECT_EQ(WriteRecordsHolding(items, {&items.m_objStopBit}), std::vector<WriteRecord>{WriteRecord::Parameter});
  // Reported, written by no record.
  EXPECT_EQ(ReadKindOfItem(items, &items.m_objKeyboardIF), 4);
  EXPECT_TRUE(WriteRecordsHolding(items, {&items.m_objKeyboardIF}).empty());
  // Read in the Parameter read record, written in the Adjustment record.
  EXPECT_EQ(ReadKindOfItem(items, &items.m_objXCoordinateAdjustment), 1);
  EXPECT_EQ(WriteRecordsHolding(items, {&items.m_objThresholdAdjustment_T}),
            std::vector<WriteRecord>{WriteRecord::Adjustment});

  // The Adjustment record needs read kinds 0 and 1 to be rebuilt whole, the
  // Parameter record 1 and 4 and cannot keep the stop bit.
  EXPECT_EQ(ReadKindsFor(items, {WriteRecord::Adjustment}), (std::vector<int>{0, 1}));
  EXPECT_TRUE(UnreportedItems(items, {WriteRecord::Adjustment}).empty());
  EXPECT_EQ(ReadKindsFor(items, {WriteRecord::Parameter}), (std::vector<int>{1, 4}));
  EXPECT_EQ(UnreportedItems(items, {WriteRecord::Parameter}), std::vector<const CItem*>{&items.m_objStopBit});
  EXPECT_EQ(ReadKindsFor(items, {WriteRecord::Dhcp, WriteRecord::Gateway}), std::vector<int>{3});

  // Records in sending order, each once, whatever order the items come in.
  EXPECT_EQ(WriteRecordsHolding(items, {&items.m_objDhcpClientHost, &items.m_objIpAddress4, &items.m_objFeedDirection,
                                        &items.m_objFontCode, &items.m_objIpAddress1}),
            (std::vector<WriteRecord>{WriteRecord::Parameter, WriteRecord::Adjustment, WriteRecord::IpAddress,
                                      WriteRecord::Dhcp}));
  // Every item a write record carries is in exactly one of them.
  std::vector<const CItem*> seen;
  for (WriteRecord record : AllWriteRecords())
    for (const CItem* item : WriteRecordItems(items, record)) {
      EXPECT_EQ(std::count(seen.begin(), seen.end(), item), 0);
      seen.push_back(item);
    }
  EXPECT_EQ(seen.size(), 30u + 18u + 12u + 2u + 3u);
}

}  // namespace
