#include "CItemManager.h"

#include <cstdio>

CItemManager::CItemManager() { InitializeItems(); }

// Width, data type, default and fixed flag of every setting, in catalogue order.
const std::vector<CItemManager::ItemRow>& CItemManager::ItemTable() {
  static const std::vector<ItemRow> table = {
      {&CItemManager::m_objFeedDirection, 1, 0, Value(std::string("+")), false},
      {&CItemManager::m_objFeedAdjustment, 3, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objCutPosDirection, 1, 0, Value(std::string("+")), false},
      {&CItemManager::m_objCutPosAdjustment, 3, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objBackFeedDirection, 1, 0, Value(std::string("+")), false},
      {&CItemManager::m_objBackFeedAdjustment, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objToneDirection_T, 1, 0, Value(std::string("+")), false},
      {&CItemManager::m_objToneAdjustment_T, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objToneDirection_D, 1, 0, Value(std::string("+")), false},
      {&CItemManager::m_objToneAdjustment_D, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objRibbonMotorDirection_F, 1, 0, Value(std::string("-")), true},
      {&CItemManager::m_objRibbonMotorAdjustment_F, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objRibbonMotorDirection_B, 1, 0, Value(std::string("-")), true},
      {&CItemManager::m_objRibbonMotorAdjustment_B, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objXCoordinateDirection, 1, 0, Value(std::string("+")), false},
      {&CItemManager::m_objXCoordinateAdjustment, 3, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objPrintPosCorrectionDirection, 1, 0, Value(std::string("+")), false},
      {&CItemManager::m_objPrintPosCorrectionValue, 3, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objFontCode, 1, 4, Value(int32_t{0}), false},
      {&CItemManager::m_objZeroStyle, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objControl, 1, 1, Value(int32_t{2}), false},
      {&CItemManager::m_objControlCode, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objStripStatus, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objThresholdAdjustment_R, 2, 1, Value(int32_t{10}), false},
      {&CItemManager::m_objThresholdAdjustment_T, 2, 1, Value(int32_t{14}), false},
      {&CItemManager::m_objKanjiCode, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objCountry, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objEuroCode, 2, 4, Value(int32_t{176}), false},
      {&CItemManager::m_objThermalHeadSensor, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objAmbientSensor, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objReflectiveSensor, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objTransmissiveSensor, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objLanSetting, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objIpAddress1, 3, 1, Value(int32_t{192}), false},
      {&CItemManager::m_objIpAddress2, 3, 1, Value(int32_t{168}), false},
      {&CItemManager::m_objIpAddress3, 3, 1, Value(int32_t{10}), false},
      {&CItemManager::m_objIpAddress4, 3, 1, Value(int32_t{20}), false},
      {&CItemManager::m_objGateway1, 3, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objGateway2, 3, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objGateway3, 3, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objGateway4, 3, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objSubnetMask1, 3, 1, Value(int32_t{255}), false},
      {&CItemManager::m_objSubnetMask2, 3, 1, Value(int32_t{255}), false},
      {&CItemManager::m_objSubnetMask3, 3, 1, Value(int32_t{255}), false},
      {&CItemManager::m_objSubnetMask4, 3, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objSocketPortSetting, 1, 1, Value(int32_t{1}), false},
      {&CItemManager::m_objSocketPortNumber, 5, 1, Value(int32_t{8000}), false},
      {&CItemManager::m_objDhcpSetting, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objDhcpClientId, 32, 0, Value(std::string("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF")), false},
      {&CItemManager::m_objDhcpClientHost, 16, 0, Value(std::string("")), false},
      {&CItemManager::m_objCommunicationSpeed, 1, 1, Value(int32_t{2}), false},
      {&CItemManager::m_objDataLength, 1, 1, Value(int32_t{1}), false},
      {&CItemManager::m_objStopBit, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objParity, 1, 1, Value(int32_t{1}), false},
      {&CItemManager::m_objAutoForward, 1, 1, Value(int32_t{1}), false},
      {&CItemManager::m_objAutoForwardDirection, 1, 0, Value(std::string("+")), false},
      {&CItemManager::m_objAutoForwardAdjustment, 2, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objControlCode1st, 2, 4, Value(int32_t{27}), false},
      {&CItemManager::m_objControlCode2nd, 2, 4, Value(int32_t{10}), false},
      {&CItemManager::m_objControlCode3rd, 2, 4, Value(int32_t{0}), false},
      {&CItemManager::m_objFeedKeyFunction, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objHeadCheck, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objAckBusyTiming, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objWebPrinter, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objResetNInitSignalIsON, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objRibbonNearEnd, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objExpansionIO, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objPlugAndPlay, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objLabelendRibbonend, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objPreStrip, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objBackFeedSpeed, 1, 1, Value(int32_t{1}), false},
      {&CItemManager::m_objMaxiCodeSpec, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objStripMotorTorque, 1, 1, Value(int32_t{0}), false},
      {&CItemManager::m_objKeyboardIF, 1, 1, Value(int32_t{0}), false},
  };
  return table;
}

void CItemManager::InitializeItems() {
  for (const ItemRow& row : ItemTable())
    CreateItem(this->*(row.member), row.defaultValue, row.width, row.dataType, row.fixed);
}

bool CItemManager::CreateItem(CItem& p_objItem, const Value& p_vDefault, int16_t p_iLength, int16_t p_iDataType,
                              bool p_bFixedValue) {
  p_objItem = CItem();
  p_objItem.m_iLength = p_iLength;
  p_objItem.m_iDataType = p_iDataType;
  p_objItem.InitializeValue(p_vDefault, p_bFixedValue);
  return true;
}

std::vector<CItem*> CItemManager::AllItems() {
  std::vector<CItem*> items;
  for (const ItemRow& row : ItemTable()) items.push_back(&(this->*(row.member)));
  return items;
}

bool CItemManager::AppendItem(std::vector<CItem*>& p_objItemAry, CItem* p_objItem) {
  p_objItemAry.push_back(p_objItem);
  return true;
}

bool CItemManager::FillGroup(std::vector<CItem*>& p_objItemAry, const std::vector<Member>& p_objMembers) {
  p_objItemAry.clear();
  for (Member member : p_objMembers) AppendItem(p_objItemAry, &(this->*member));
  return true;
}

// Adjustment read record: 14 fields, 23 characters.
bool CItemManager::GetItem_Adjustment(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {
                                     &CItemManager::m_objFeedDirection,
                                     &CItemManager::m_objFeedAdjustment,
                                     &CItemManager::m_objCutPosDirection,
                                     &CItemManager::m_objCutPosAdjustment,
                                     &CItemManager::m_objBackFeedDirection,
                                     &CItemManager::m_objBackFeedAdjustment,
                                     &CItemManager::m_objToneDirection_T,
                                     &CItemManager::m_objToneAdjustment_T,
                                     &CItemManager::m_objToneDirection_D,
                                     &CItemManager::m_objToneAdjustment_D,
                                     &CItemManager::m_objRibbonMotorDirection_F,
                                     &CItemManager::m_objRibbonMotorAdjustment_F,
                                     &CItemManager::m_objRibbonMotorDirection_B,
                                     &CItemManager::m_objRibbonMotorAdjustment_B,
                                 });
}

// Parameter read record: 14 fields, 21 characters.
bool CItemManager::GetItem_Parameter(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {
                                     &CItemManager::m_objXCoordinateDirection,
                                     &CItemManager::m_objXCoordinateAdjustment,
                                     &CItemManager::m_objPrintPosCorrectionDirection,
                                     &CItemManager::m_objPrintPosCorrectionValue,
                                     &CItemManager::m_objFontCode,
                                     &CItemManager::m_objZeroStyle,
                                     &CItemManager::m_objControl,
                                     &CItemManager::m_objControlCode,
                                     &CItemManager::m_objStripStatus,
                                     &CItemManager::m_objThresholdAdjustment_R,
                                     &CItemManager::m_objThresholdAdjustment_T,
                                     &CItemManager::m_objKanjiCode,
                                     &CItemManager::m_objCountry,
                                     &CItemManager::m_objEuroCode,
                                 });
}

// Sensor read record: 4 fields, 8 characters.
bool CItemManager::GetItem_Sensor(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {
                                     &CItemManager::m_objThermalHeadSensor,
                                     &CItemManager::m_objAmbientSensor,
                                     &CItemManager::m_objReflectiveSensor,
                                     &CItemManager::m_objTransmissiveSensor,
                                 });
}

// LAN read record: 18 fields, 92 characters.
bool CItemManager::GetItem_Lan(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {
                                     &CItemManager::m_objLanSetting,
                                     &CItemManager::m_objIpAddress1,
                                     &CItemManager::m_objIpAddress2,
                                     &CItemManager::m_objIpAddress3,
                                     &CItemManager::m_objIpAddress4,
                                     &CItemManager::m_objGateway1,
                                     &CItemManager::m_objGateway2,
                                     &CItemManager::m_objGateway3,
                                     &CItemManager::m_objGateway4,
                                     &CItemManager::m_objSubnetMask1,
                                     &CItemManager::m_objSubnetMask2,
                                     &CItemManager::m_objSubnetMask3,
                                     &CItemManager::m_objSubnetMask4,
                                     &CItemManager::m_objSocketPortSetting,
                                     &CItemManager::m_objSocketPortNumber,
                                     &CItemManager::m_objDhcpSetting,
                                     &CItemManager::m_objDhcpClientId,
                                     &CItemManager::m_objDhcpClientHost,
                                 });
}

// Parameter expansion read record: 23 fields, 27 characters (no stop bit).
bool CItemManager::GetItem_ParameterExpansion1(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {
                                     &CItemManager::m_objCommunicationSpeed,
                                     &CItemManager::m_objDataLength,
                                     &CItemManager::m_objParity,
                                     &CItemManager::m_objAutoForward,
                                     &CItemManager::m_objAutoForwardDirection,
                                     &CItemManager::m_objAutoForwardAdjustment,
                                     &CItemManager::m_objControlCode1st,
                                     &CItemManager::m_objControlCode2nd,
                                     &CItemManager::m_objControlCode3rd,
                                     &CItemManager::m_objFeedKeyFunction,
                                     &CItemManager::m_objHeadCheck,
                                     &CItemManager::m_objAckBusyTiming,
                                     &CItemManager::m_objWebPrinter,
                                     &CItemManager::m_objResetNInitSignalIsON,
                                     &CItemManager::m_objRibbonNearEnd,
                                     &CItemManager::m_objExpansionIO,
                                     &CItemManager::m_objPlugAndPlay,
                                     &CItemManager::m_objLabelendRibbonend,
                                     &CItemManager::m_objPreStrip,
                                     &CItemManager::m_objBackFeedSpeed,
                                     &CItemManager::m_objMaxiCodeSpec,
                                     &CItemManager::m_objStripMotorTorque,
                                     &CItemManager::m_objKeyboardIF,
                                 });
}

bool CItemManager::GetItem_ReadKind(int p_iKind, std::vector<CItem*>& p_objItemAry) {
  // A switch rather than a table of member pointers: g++ 12's bounds
  // sanitizer misreads the index of a call made through such a table.
  switch (p_iKind) {
    case 0:
      return GetItem_Adjustment(p_objItemAry);
    case 1:
      return GetItem_Parameter(p_objItemAry);
    case 2:
      return GetItem_Sensor(p_objItemAry);
    case 3:
      return GetItem_Lan(p_objItemAry);
    case 4:
      return GetItem_ParameterExpansion1(p_objItemAry);
    default:
      p_objItemAry.clear();
      return false;
  }
}

// Parameter write record: 30 fields, 35 characters.
bool CItemManager::SetItem_Parameter(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {
                                     &CItemManager::m_objFontCode,
                                     &CItemManager::m_objZeroStyle,
                                     &CItemManager::m_objCommunicationSpeed,
                                     &CItemManager::m_objDataLength,
                                     &CItemManager::m_objStopBit,
                                     &CItemManager::m_objParity,
                                     &CItemManager::m_objControl,
                                     &CItemManager::m_objAutoForward,
                                     &CItemManager::m_objAutoForwardDirection,
                                     &CItemManager::m_objAutoForwardAdjustment,
                                     &CItemManager::m_objControlCode,
                                     &CItemManager::m_objControlCode1st,
                                     &CItemManager::m_objControlCode2nd,
                                     &CItemManager::m_objControlCode3rd,
                                     &CItemManager::m_objStripStatus,
                                     &CItemManager::m_objFeedKeyFunction,
                                     &CItemManager::m_objKanjiCode,
                                     &CItemManager::m_objEuroCode,
                                     &CItemManager::m_objHeadCheck,
                                     &CItemManager::m_objAckBusyTiming,
                                     &CItemManager::m_objWebPrinter,
                                     &CItemManager::m_objResetNInitSignalIsON,
                                     &CItemManager::m_objRibbonNearEnd,
                                     &CItemManager::m_objExpansionIO,
                                     &CItemManager::m_objPlugAndPlay,
                                     &CItemManager::m_objLabelendRibbonend,
                                     &CItemManager::m_objPreStrip,
                                     &CItemManager::m_objBackFeedSpeed,
                                     &CItemManager::m_objMaxiCodeSpec,
                                     &CItemManager::m_objStripMotorTorque,
                                 });
}

// Adjustment write record: 18 fields, 31 characters.
bool CItemManager::SetItem_Adjustment(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {
                                     &CItemManager::m_objFeedDirection,
                                     &CItemManager::m_objFeedAdjustment,
                                     &CItemManager::m_objCutPosDirection,
                                     &CItemManager::m_objCutPosAdjustment,
                                     &CItemManager::m_objBackFeedDirection,
                                     &CItemManager::m_objBackFeedAdjustment,
                                     &CItemManager::m_objXCoordinateDirection,
                                     &CItemManager::m_objXCoordinateAdjustment,
                                     &CItemManager::m_objToneDirection_T,
                                     &CItemManager::m_objToneAdjustment_T,
                                     &CItemManager::m_objToneDirection_D,
                                     &CItemManager::m_objToneAdjustment_D,
                                     &CItemManager::m_objRibbonMotorDirection_F,
                                     &CItemManager::m_objRibbonMotorAdjustment_F,
                                     &CItemManager::m_objRibbonMotorDirection_B,
                                     &CItemManager::m_objRibbonMotorAdjustment_B,
                                     &CItemManager::m_objThresholdAdjustment_R,
                                     &CItemManager::m_objThresholdAdjustment_T,
                                 });
}

bool CItemManager::SetItem_ExtraIpAddress(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {&CItemManager::m_objIpAddress1, &CItemManager::m_objIpAddress2,
                                  &CItemManager::m_objIpAddress3, &CItemManager::m_objIpAddress4});
}

bool CItemManager::SetItem_ExtraGateway(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {&CItemManager::m_objGateway1, &CItemManager::m_objGateway2,
                                  &CItemManager::m_objGateway3, &CItemManager::m_objGateway4});
}

bool CItemManager::SetItem_ExtraSubnet(std::vector<CItem*>& p_objItemAry) {
  return FillGroup(p_objItemAry, {&CItemManager::m_objSubnetMask1, &CItemManager::m_objSubnetMask2,
                                  &CItemManager::m_objSubnetMask3, &CItemManager::m_objSubnetMask4});
}

std::string ConvertFontCode(const std::string& p_sFontCode) {
  int64_t code = ReadHexText(p_sFontCode);
  if (code == 1)
    code = 3;
  else if (code == 2)
    code = 1;
  else if (code == 3)
    code = 2;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(code));
  return buffer;
}
