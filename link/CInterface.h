#pragma once
// How the program reaches the printer: which link is active (0 COM, 1 LAN,
// 2 USB), the serial-port parameters, and the printer's IP address, gateway,
// subnet mask and TCP port. Nothing of it is stored: every start begins from
// the defaults.
#include <cstdint>
#include <string>

#include "CItem.h"

class CInterface {
 public:
  CInterface();

  int16_t m_iActiveInterface = 2;
  CItem m_objIpAddress1, m_objIpAddress2, m_objIpAddress3, m_objIpAddress4;
  CItem m_objGateway1, m_objGateway2, m_objGateway3, m_objGateway4;
  CItem m_objSubnetMask1, m_objSubnetMask2, m_objSubnetMask3, m_objSubnetMask4;
  CItem m_objSocketPortSetting;
  CItem m_objSocketPortNumber;
  CItem m_objComPortNumber;
  CItem m_objCommunicationSpeed;
  CItem m_objDataLength;
  CItem m_objStopBit;
  CItem m_objParity;

  std::string SetIpAddress(int16_t p_iIpAddress1, int16_t p_iIpAddress2, int16_t p_iIpAddress3, int16_t p_iIpAddress4);
  // Dotted decimal, no leading zeros: 192.168.10.20.
  std::string GetIpAddress(bool p_bDefaultValue = false) const;
  // Three digits per part: 000.000.000.000.
  std::string GetGateway(bool p_bDefaultValue = false) const;
  std::string GetSubnetMas(bool p_bDefaultValue = false) const;
  // Five digits: 08000.
  std::string GetSocketPortNumber(bool p_bDefaultValue = false) const;
  void SetActiveInterface(int16_t p_iActiveInterface);
  int16_t GetActiveInterface() const;
  // 1 for COM1.
  int16_t GetComPortNumber(bool p_bDefaultValue = false) const;
  // Selects COMn (1 for COM1), as picking the n-th entry of the setup
  // dialog's COM list does.
  void SetComPortNumber(int p_iComPortNumber);
  // Speed, parity, data bits, stop bits: 9600,E,8,1. Always the current values.
  std::string GetSerialInfo(bool p_bDefaultValue = false) const;

 private:
  void InitializeInterfaceItems();
  static void CreateInterfaceItem(CItem& p_objItem, int16_t p_iLength, int16_t p_iDataType, int32_t p_iDefault);
  std::string GetSpeedText() const;
  std::string GetDataLengthText() const;
  std::string GetStopBitText() const;
  std::string GetParityText() const;
};
