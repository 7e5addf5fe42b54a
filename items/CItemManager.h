#pragma once
// The catalogue of every printer setting the program handles, and the field
// order of the printer's records. One catalogue exists for the life of the
// main window; every record builder, decoder, file loader and page binding
// works on it.
#include <vector>

#include "CItem.h"

class CItemManager {
 public:
  CItemManager();
  CItemManager(const CItemManager&) = delete;
  CItemManager& operator=(const CItemManager&) = delete;

  // The settings, in catalogue order.
  CItem m_objFeedDirection;
  CItem m_objFeedAdjustment;
  CItem m_objCutPosDirection;
  CItem m_objCutPosAdjustment;
  CItem m_objBackFeedDirection;
  CItem m_objBackFeedAdjustment;
  CItem m_objToneDirection_T;
  CItem m_objToneAdjustment_T;
  CItem m_objToneDirection_D;
  CItem m_objToneAdjustment_D;
  CItem m_objRibbonMotorDirection_F;
  CItem m_objRibbonMotorAdjustment_F;
  CItem m_objRibbonMotorDirection_B;
  CItem m_objRibbonMotorAdjustment_B;
  CItem m_objXCoordinateDirection;
  CItem m_objXCoordinateAdjustment;
  CItem m_objPrintPosCorrectionDirection;
  CItem m_objPrintPosCorrectionValue;
  CItem m_objFontCode;
  CItem m_objZeroStyle;
  CItem m_objControl;
  CItem m_objControlCode;
  CItem m_objStripStatus;
  CItem m_objThresholdAdjustment_R;
  CItem m_objThresholdAdjustment_T;
  CItem m_objKanjiCode;
  CItem m_objCountry;
  CItem m_objEuroCode;
  CItem m_objThermalHeadSensor;
  CItem m_objAmbientSensor;
  CItem m_objReflectiveSensor;
  CItem m_objTransmissiveSensor;
  CItem m_objLanSetting;
  CItem m_objIpAddress1;
  CItem m_objIpAddress2;
  CItem m_objIpAddress3;
  CItem m_objIpAddress4;
  CItem m_objGateway1;
  CItem m_objGateway2;
  CItem m_objGateway3;
  CItem m_objGateway4;
  CItem m_objSubnetMask1;
  CItem m_objSubnetMask2;
  CItem m_objSubnetMask3;
  CItem m_objSubnetMask4;
  CItem m_objSocketPortSetting;
  CItem m_objSocketPortNumber;
  CItem m_objDhcpSetting;
  CItem m_objDhcpClientId;
  CItem m_objDhcpClientHost;
  CItem m_objCommunicationSpeed;
  CItem m_objDataLength;
  CItem m_objStopBit;
  CItem m_objParity;
  CItem m_objAutoForward;
  CItem m_objAutoForwardDirection;
  CItem m_objAutoForwardAdjustment;
  CItem m_objControlCode1st;
  CItem m_objControlCode2nd;
  CItem m_objControlCode3rd;
  CItem m_objFeedKeyFunction;
  CItem m_objHeadCheck;
  CItem m_objAckBusyTiming;
  CItem m_objWebPrinter;
  CItem m_objResetNInitSignalIsON;
  CItem m_objRibbonNearEnd;
  CItem m_objExpansionIO;
  CItem m_objPlugAndPlay;
  CItem m_objLabelendRibbonend;
  CItem m_objPreStrip;
  CItem m_objBackFeedSpeed;
  CItem m_objMaxiCodeSpec;
  CItem m_objStripMotorTorque;
  CItem m_objKeyboardIF;

  // Item groups in the field order of one printer record. Each call replaces
  // the array's contents with the catalogue's own items and returns true.
  bool GetItem_Adjustment(std::vector<CItem*>& p_objItemAry);           // read kind 0
  bool GetItem_Parameter(std::vector<CItem*>& p_objItemAry);            // read kind 1
  bool GetItem_Sensor(std::vector<CItem*>& p_objItemAry);               // read kind 2
  bool GetItem_Lan(std::vector<CItem*>& p_objItemAry);                  // read kind 3
  bool GetItem_ParameterExpansion1(std::vector<CItem*>& p_objItemAry);  // read kind 4
  // The group of read kind 0 to 4 (one of the five above); false and an
  // empty array for any other kind.
  bool GetItem_ReadKind(int p_iKind, std::vector<CItem*>& p_objItemAry);
  bool SetItem_Parameter(std::vector<CItem*>& p_objItemAry);       // write record 1
  bool SetItem_Adjustment(std::vector<CItem*>& p_objItemAry);      // write record 2
  bool SetItem_ExtraIpAddress(std::vector<CItem*>& p_objItemAry);  // "{IP;2"
  bool SetItem_ExtraGateway(std::vector<CItem*>& p_objItemAry);    // "{IP;3"
  bool SetItem_ExtraSubnet(std::vector<CItem*>& p_objItemAry);     // "{IP;4"

  // All 74 items in catalogue order.
  std::vector<CItem*> AllItems();

  static constexpr int kItemCount = 74;

 private:
  using Member = CItem CItemManager::*;
  struct ItemRow {
    Member member;
    int16_t width;
    int16_t dataType;
    Value defaultValue;
    bool fixed;
  };
  static const std::vector<ItemRow>& ItemTable();

  void InitializeItems();
  bool CreateItem(CItem& p_objItem, const Value& p_vDefault, int16_t p_iLength, int16_t p_iDataType,
                  bool p_bFixedValue);
  bool FillGroup(std::vector<CItem*>& p_objItemAry, const std::vector<Member>& p_objMembers);
  static bool AppendItem(std::vector<CItem*>& p_objItemAry, CItem* p_objItem);
};

// Maps the font code of a Parameter read record (printer numbering, one
// hexadecimal digit) to the position in the font-code list: 1 gives 3, 2 gives
// 1, 3 gives 2, every other number stays. Result in upper-case hexadecimal.
std::string ConvertFontCode(const std::string& p_sFontCode);
