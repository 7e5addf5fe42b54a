#include "CInterface.h"

#include <cmath>

namespace {
// An item's value as the whole number the index tables compare against.
int64_t IndexOf(const CItem& item) { return std::llround(ValueToNumber(item.GetValue(false))); }

std::string JoinDotted(const CItem* const (&parts)[4], bool p_bDefaultValue) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    if (i) text += '.';
    text += parts[i]->GetValueString(p_bDefaultValue);
  }
  return text;
}
}  // namespace

CInterface::CInterface() { InitializeInterfaceItems(); }

void CInterface::CreateInterfaceItem(CItem& p_objItem, int16_t p_iLength, int16_t p_iDataType, int32_t p_iDefault) {
  p_objItem.m_iLength = p_iLength;
  p_objItem.m_iDataType = p_iDataType;
  p_objItem.InitializeValue(p_iDefault, false);
}

void CInterface::InitializeInterfaceItems() {
  m_iActiveInterface = 2;
  CreateInterfaceItem(m_objIpAddress1, 3, TypeDecimal, 192);
  CreateInterfaceItem(m_objIpAddress2, 3, TypeDecimal, 168);
  CreateInterfaceItem(m_objIpAddress3, 3, TypeDecimal, 10);
  CreateInterfaceItem(m_objIpAddress4, 3, TypeDecimal, 20);
  CreateInterfaceItem(m_objGateway1, 3, TypeDecimal, 0);
  CreateInterfaceItem(m_objGateway2, 3, TypeDecimal, 0);
  CreateInterfaceItem(m_objGateway3, 3, TypeDecimal, 0);
  CreateInterfaceItem(m_objGateway4, 3, TypeDecimal, 0);
  CreateInterfaceItem(m_objSubnetMask1, 3, TypeDecimal, 255);
  CreateInterfaceItem(m_objSubnetMask2, 3, TypeDecimal, 255);
  CreateInterfaceItem(m_objSubnetMask3, 3, TypeDecimal, 255);
  CreateInterfaceItem(m_objSubnetMask4, 3, TypeDecimal, 0);
  CreateInterfaceItem(m_objSocketPortSetting, 1, TypeDecimal, 0);
  CreateInterfaceItem(m_objSocketPortNumber, 5, TypeDecimal, 8000);
  CreateInterfaceItem(m_objComPortNumber, 1, TypeDecimal, 0);
  CreateInterfaceItem(m_objCommunicationSpeed, 1, TypeDecimal, 2);
  CreateInterfaceItem(m_objDataLength, 1, TypeDecimal, 1);
  CreateInterfaceItem(m_objStopBit, 1, TypeDecimal, 0);
  CreateInterfaceItem(m_objParity, 1, TypeDecimal, 1);
}

std::string CInterface::SetIpAddress(int16_t p_iIpAddress1, int16_t p_iIpAddress2, int16_t p_iIpAddress3,
                                     int16_t p_iIpAddress4) {
  m_objIpAddress1.SetValue(int32_t{p_iIpAddress1});
  m_objIpAddress2.SetValue(int32_t{p_iIpAddress2});
  m_objIpAddress3.SetValue(int32_t{p_iIpAddress3});
  m_objIpAddress4.SetValue(int32_t{p_iIpAddress4});
  return std::string();
}

std::string CInterface::GetIpAddress(bool p_bDefaultValue) const {
  const CItem* parts[] = {&m_objIpAddress1, &m_objIpAddress2, &m_objIpAddress3, &m_objIpAddress4};
  std::string text;
  for (int i = 0; i < 4; ++i) {
    if (i) text += '.';
    // Each part as a plain decimal number: "010" and 10 both give 10.
    text += std::to_string(std::llround(ValueToNumber(parts[i]->GetValue(p_bDefaultValue))));
  }
  return text;
}

std::string CInterface::GetGateway(bool p_bDefaultValue) const {
  const CItem* const parts[4] = {&m_objGateway1, &m_objGateway2, &m_objGateway3, &m_objGateway4};
  return JoinDotted(parts, p_bDefaultValue);
}

std::string CInterface::GetSubnetMas(bool p_bDefaultValue) const {
  const CItem* const parts[4] = {&m_objSubnetMask1, &m_objSubnetMask2, &m_objSubnetMask3, &m_objSubnetMask4};
  return JoinDotted(parts, p_bDefaultValue);
}

std::string CInterface::GetSocketPortNumber(bool p_bDefaultValue) const {
  return m_objSocketPortNumber.GetValueString(p_bDefaultValue);
}

void CInterface::SetActiveInterface(int16_t p_iActiveInterface) { m_iActiveInterface = p_iActiveInterface; }

int16_t CInterface::GetActiveInterface() const { return m_iActiveInterface; }

int16_t CInterface::GetComPortNumber(bool p_bDefaultValue) const {
  return static_cast<int16_t>(std::llround(ValueToNumber(m_objComPortNumber.GetValue(p_bDefaultValue))) + 1);
}

void CInterface::SetComPortNumber(int p_iComPortNumber) {
  // The item holds the list position of the entry: COM1 is position 0.
  m_objComPortNumber.SetValue(static_cast<int32_t>(p_iComPortNumber - 1));
}

std::string CInterface::GetSerialInfo(bool /*p_bDefaultValue: always the current values*/) const {
  return GetSpeedText() + "," + GetParityText() + "," + GetDataLengthText() + "," + GetStopBitText();
}

std::string CInterface::GetSpeedText() const {
  static const char* const kSpeeds[] = {"2400", "4800", "9600", "19200", "38400", "115200"};
  const int64_t index = IndexOf(m_objCommunicationSpeed);
  return (index >= 0 && index <= 5) ? kSpeeds[index] : "9600";
}

std::string CInterface::GetDataLengthText() const { return IndexOf(m_objDataLength) == 0 ? "7" : "8"; }

std::string CInterface::GetStopBitText() const { return IndexOf(m_objStopBit) == 1 ? "2" : "1"; }

std::string CInterface::GetParityText() const {
  const int64_t index = IndexOf(m_objParity);
  return index == 1 ? "E" : index == 2 ? "O" : "N";
}
