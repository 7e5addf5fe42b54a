// The link's interface settings: defaults, the serial settings text, the
// address texts.
#include <gtest/gtest.h>

#include "CInterface.h"
#include "LinkIds.h"

TEST(InterfaceTest, Defaults) {
  CInterface link;
  EXPECT_EQ(link.GetActiveInterface(), dz::kLinkUsb);
  EXPECT_EQ(link.GetComPortNumber(), 1);
  EXPECT_EQ(link.GetSerialInfo(), "9600,E,8,1");
  EXPECT_EQ(link.GetIpAddress(), "192.168.10.20");
  EXPECT_EQ(link.GetGateway(), "000.000.000.000");
  EXPECT_EQ(link.GetSubnetMas(), "255.255.255.000");
  EXPECT_EQ(link.GetSocketPortNumber(), "08000");
}

TEST(InterfaceTest, SerialSettingsString) {
  CInterface link;
  link.m_objCommunicationSpeed.SetValue(int32_t{5});
  link.m_objParity.SetValue(int32_t{2});
  link.m_objDataLength.SetValue(int32_t{0});
  link.m_objStopBit.SetValue(int32_t{1});
  EXPECT_EQ(link.GetSerialInfo(), "115200,O,7,2");
  // Indexes outside each table fall back.
  link.m_objCommunicationSpeed.SetValue(int32_t{9});
  link.m_objParity.SetValue(int32_t{7});
  link.m_objDataLength.SetValue(int32_t{3});
  link.m_objStopBit.SetValue(int32_t{-1});
  EXPECT_EQ(link.GetSerialInfo(), "9600,N,8,1");
  link.m_objComPortNumber.SetValue(int32_t{8});
  EXPECT_EQ(link.GetComPortNumber(), 9);
}

TEST(InterfaceTest, AddressTexts) {
  CInterface link;
  EXPECT_EQ(link.SetIpAddress(10, 0, 0, 5), "");
  EXPECT_EQ(link.GetIpAddress(), "10.0.0.5");
  EXPECT_EQ(link.GetIpAddress(true), "192.168.10.20");
  link.m_objGateway1.SetValue(int32_t{5});
  EXPECT_EQ(link.GetGateway(), "005.000.000.000");
  link.m_objIpAddress2.SetValue(std::string("010"));  // a spin edit's text
  EXPECT_EQ(link.GetIpAddress(), "10.10.0.5");
  link.SetActiveInterface(7);
  EXPECT_EQ(link.GetActiveInterface(), 7);
}
