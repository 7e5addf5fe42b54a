#include <gtest/gtest.h>

#include "CItemManager.h"
#include "Commands.h"
#include "MaintenanceCommands.h"

TEST(CommandsTest, ByteFormIsOneBytePerCharacter) {
  Bytes bytes = {9, 9, 9, 9, 9, 9, 9, 9};
  ASSERT_TRUE(TextToBytes("{WS|}", bytes));
  EXPECT_EQ(bytes, (Bytes{0x7B, 0x57, 0x53, 0x7C, 0x7D}));
  TextToBytes(std::string("\xFF|}", 3), bytes);
  EXPECT_EQ(bytes, (Bytes{0xFF, 0x7C, 0x7D}));
}

TEST(CommandsTest, DefaultRecords) {
  CItemManager items;
  EXPECT_EQ(BuildWriteRecordCommand(items, 1), "{Z2;1,00210121+0001B0A00000B0000000000100|}");
  EXPECT_EQ(BuildWriteRecordCommand(items, 2), "{Z2;2,+000+000+00+000+00+00-00-001014|}");
  EXPECT_EQ(BuildIpAddressCommand(items, 2), "{IP;2,192,168,010,020|}");
  EXPECT_EQ(BuildIpAddressCommand(items, 3), "{IP;3,000,000,000,000|}");
  EXPECT_EQ(BuildIpAddressCommand(items, 4), "{IP;4,255,255,255,000|}");
  EXPECT_EQ(BuildSocketPortCommand(items), "{IS;1,08000|}");
  const std::string dhcp = BuildDhcpCommand(items);
  EXPECT_EQ(dhcp.size(), 57u);
  EXPECT_EQ(dhcp, "{IH;0," + std::string(32, 'F') + "," + std::string(16, '\xFF') + "|}");
}

TEST(CommandsTest, ReadCommandsAndInvalidKinds) {
  CItemManager items;
  for (int k = 0; k <= 4; ++k) EXPECT_EQ(BuildReadRecordCommand(k), "{Z5;" + std::to_string(k) + "|}");
  EXPECT_EQ(BuildReadRecordCommand(5), "");
  EXPECT_EQ(BuildReadRecordCommand(-1), "");
  EXPECT_EQ(BuildWriteRecordCommand(items, 3), "");
  EXPECT_EQ(BuildWriteRecordCommand(items, 0), "");
  EXPECT_EQ(BuildIpAddressCommand(items, 1), "");
  EXPECT_EQ(BuildIpAddressCommand(items, 5), "");
}

TEST(CommandsTest, FieldsGrowRatherThanBeCut) {
  CItemManager items;
  items.m_objSocketPortNumber.SetValue(int32_t{123456});
  EXPECT_EQ(BuildSocketPortCommand(items), "{IS;1,123456|}");
  items.m_objIpAddress1.SetValue(std::string("5"));
  EXPECT_EQ(BuildIpAddressCommand(items, 2), "{IP;2,005,168,010,020|}");
  items.m_objDhcpClientHost.SetValue(std::string("HOST"));
  EXPECT_EQ(BuildDhcpCommand(items), "{IH;0," + std::string(32, 'F') + ",HOST" + std::string(12, '\xFF') + "|}");
  items.m_objDhcpClientHost.SetValue(std::string("ABCDEFGHIJKLMNOPQ"));
  EXPECT_EQ(BuildDhcpCommand(items), "{IH;0," + std::string(32, 'F') + ",ABCDEFGHIJKLMNOPQ|}");
}

TEST(CommandsTest, EditedRecordsCarryTheEditedFields) {
  CItemManager items;
  items.m_objFontCode.SetValue(std::string("C"));  // LATIN9, position 12
  items.m_objRibbonMotorDirection_F.SetValue(std::string("+"));
  items.m_objRibbonMotorAdjustment_F.SetValue(int32_t{-7});
  items.m_objFeedDirection.SetValue(std::string("-"));
  items.m_objFeedAdjustment.SetValue(int32_t{-15});
  const std::string parameter = BuildWriteRecordCommand(items, 1);
  EXPECT_EQ(parameter.substr(6, 1), "C");
  const std::string adjustment = BuildWriteRecordCommand(items, 2);
  EXPECT_EQ(adjustment.substr(6, 4), "-015");
  EXPECT_EQ(adjustment.substr(6 + 21, 3), "-07");  // fixed direction "-" whatever was stored
}

TEST(MaintenanceCommandsTest, Texts) {
  EXPECT_EQ(BuildStatusCommand(), "{WS|}");
  EXPECT_EQ(BuildHeadCheckCommand(), "{HD001,A|}");
  EXPECT_EQ(BuildDiagPrintCommand(1), "{Z11|}");
  EXPECT_EQ(BuildDiagPrintCommand(0), "{Z10|}");
  EXPECT_EQ(BuildReflectiveAdjustCommand(), "{Z6;0|}");
  EXPECT_EQ(BuildTransmissiveAdjustCommand(), "{Z6;1|}");
  EXPECT_EQ(BuildPaperEndAdjustCommand(0), "{Z6;01|}");
  EXPECT_EQ(BuildPaperEndAdjustCommand(1), "{Z6;11|}");
  EXPECT_EQ(BuildThresholdCalibCommand(0), "{WT;1000,1|}");
  EXPECT_EQ(BuildThresholdCalibCommand(1), "{WT;1000,2|}");
}

TEST(MaintenanceCommandsTest, RamClearDestinations) {
  EXPECT_EQ(BuildRamClearCommand(0, -1), "{Z4;0|}");  // nothing selected
  EXPECT_EQ(BuildRamClearCommand(0, 0), "{Z4;0|}");   // the blank entry
  EXPECT_EQ(BuildRamClearCommand(0, 1), "{Z4;00|}");  // JA
  EXPECT_EQ(BuildRamClearCommand(0, 4), "{Z4;03|}");  // QQ
  EXPECT_EQ(BuildRamClearCommand(1, 4), "{Z4;1|}");   // MANTE.CNT ignores the destination
}

TEST(MaintenanceCommandsTest, TestPrint) {
  TestPrintSettings s;
  const std::string text = BuildTestPrintCommand(s);
  EXPECT_EQ(text, "{Z3;007600730105700010000|}");
  EXPECT_EQ(text.size(), 27u);
  s.pattern = 5;
  s.labelLength = 9999;
  s.issueCount = 5000;
  s.printSpeed = 1;
  s.sensor = 2;
  s.cutType = 2;
  s.printType = 1;
  EXPECT_EQ(BuildTestPrintCommand(s), "{Z3;699999969105750001221|}");
  s.pattern = 4;
  s.labelLength = 100;
  EXPECT_EQ(BuildTestPrintCommand(s).substr(4, 9), "401000070");
}
