#include "ShownSettings.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <algorithm>

#include "CItem.h"
#include "ChoiceListData.h"
#include "SpinSetupData.h"

namespace dz {
namespace {

using M = CItemManager;
using K = ShownKind;

const char* const kParameterPage = "Parameter Setting";
const char* const kExtraPage = "Extra Setting";

#define ITEM(member) #member, &M::member
ShownSetting P(const char* caption, const char* control, const char* item, CItem M::*member, K kind) {
  return {kParameterPage, "Parameter", caption, caption, control, item, member, nullptr, kind};
}
ShownSetting A(const char* caption, const char* control, const char* item, CItem M::*member, CItem M::*direction,
               K kind) {
  return {kParameterPage, "Adjustment", caption, caption, control, item, member, direction, kind};
}
ShownSetting L(const char* row, const char* caption, const char* control, const char* item, CItem M::*member, K kind) {
  return {kExtraPage, "LAN", row, caption, control, item, member, nullptr, kind};
}

}  // namespace

const std::vector<ShownSetting>& ParameterSettings() {
  static const std::vector<ShownSetting> rows = [] {
    std::vector<ShownSetting> r = {
        P("FONT CODE", "cmbFontCode", ITEM(m_objFontCode), K::FontCodeList),
        P("ZERO CODE", "cmbZeroCode", ITEM(m_objZeroStyle), K::List),
        P("SPEED", "cmbSpeed", ITEM(m_objCommunicationSpeed), K::List),
        P("DATA LENG.", "cmbDataLeg", ITEM(m_objDataLength), K::List),
        P("STOP BIT", "cmbStopBit", ITEM(m_objStopBit), K::List),
        P("PARITY", "cmbParity", ITEM(m_objParity), K::List),
        P("CONTROL", "cmbControl", ITEM(m_objControl), K::List),
        P("FOWARD WAIT", "cmbFowardWait", ITEM(m_objAutoForward), K::List),
        P("FOWARD POSITION", "SeFowardPosition", ITEM(m_objAutoForwardAdjustment), K::Signed),
        P("CODE", "cmbCode", ITEM(m_objControlCode), K::List),
        // The three code boxes sit in a row without a label of their own.
        P("CODE 1st", "SeCode1", ITEM(m_objControlCode1st), K::Hex),
        P("CODE 2nd", "SeCode2", ITEM(m_objControlCode2nd), K::Hex),
        P("CODE 3rd", "SeCode3", ITEM(m_objControlCode3rd), K::Hex),
        P("PEEL OFF STATUS", "cmbPeelOffStatus", ITEM(m_objStripStatus), K::List),
        P("FEED KEY", "cmbFeedKey", ITEM(m_objFeedKeyFunction), K::List),
        P("KANJI CODE", "cmbKanji", ITEM(m_objKanjiCode), K::List),
        P("EURO CODE", "SeEuroCode", ITEM(m_objEuroCode), K::Hex),
        P("AUTO HD CHK", "cmbAutoHdChk", ITEM(m_objHeadCheck), K::List),
        P("ACK/BUSY", "cmbAckBusy", ITEM(m_objAckBusyTiming), K::List),
        P("WEB PRINTER", "cmbWebPrinter", ITEM(m_objWebPrinter), K::List),
        P("INPUT PRIME", "cmbInputPrime", ITEM(m_objResetNInitSignalIsON), K::List),
        P("RIBBON NEAR END", "cmbRibbonNearEnd", ITEM(m_objRibbonNearEnd), K::List),
        P("EX.I/O MODE", "cmbExIoMode", ITEM(m_objExpansionIO), K::List),
        // The label shows one ampersand; it is no access key.
        P("PLUG & PLAY", "cmbPlugPlay", ITEM(m_objPlugAndPlay), K::List),
        P("LBL/RBN END", "cmbLblRbnEnd", ITEM(m_objLabelendRibbonend), K::List),
        P("PRE PEEL OFF", "cmbPrePeelOff", ITEM(m_objPreStrip), K::List),
        P("BACK SPEED", "cmbBackSpeed", ITEM(m_objBackFeedSpeed), K::List),
        P("MAXI CODE SPEC.", "cmbMaxiCodeSpec", ITEM(m_objMaxiCodeSpec), K::List),
        P("KB I/F", "cmbKbIF", ITEM(m_objKeyboardIF), K::List),
        P("PEEL OFF TRQ", "cmbPeelOffTrq", ITEM(m_objStripMotorTorque), K::List),
        A("FEED ADJ.", "SeFeedAdj", ITEM(m_objFeedAdjustment), &M::m_objFeedDirection, K::Signed),
        A("CUT ADJ.", "SeCutAdj", ITEM(m_objCutPosAdjustment), &M::m_objCutPosDirection, K::Signed),
        A("BACK ADJ.", "SeBackAdj", ITEM(m_objBackFeedAdjustment), &M::m_objBackFeedDirection, K::Signed),
        A("X ADJ.", "SeXAdj", ITEM(m_objXCoordinateAdjustment), &M::m_objXCoordinateDirection, K::Signed),
        A("TONE ADJ.<T>", "SeToneAdjT", ITEM(m_objToneAdjustment_T), &M::m_objToneDirection_T, K::Signed),
        A("TONE ADJ.<D>", "SeToneAdjD", ITEM(m_objToneAdjustment_D), &M::m_objToneDirection_D, K::Signed),
        A("RBN ADJ.<FW>", "SeRbnAdjFw", ITEM(m_objRibbonMotorAdjustment_F), &M::m_objRibbonMotorDirection_F, K::Signed),
        A("RBN ADJ.<BK>", "SeRbnAdjBk", ITEM(m_objRibbonMotorAdjustment_B), &M::m_objRibbonMotorDirection_B, K::Signed),
        A("THRESHOLD<R>", "SeThresholdR", ITEM(m_objThresholdAdjustment_R), nullptr, K::Threshold),
        A("THRESHOLD<T>", "SeThresholdT", ITEM(m_objThresholdAdjustment_T), nullptr, K::Threshold),
    };
    // The code boxes have no row label on the page.
    for (ShownSetting& row : r)
      if (row.kind == K::Hex && std::strncmp(row.control, "SeCode", 6) == 0) row.rowCaption = nullptr;
    // The forward position's direction item.
    for (ShownSetting& row : r)
      if (std::strcmp(row.control, "SeFowardPosition") == 0) row.direction = &M::m_objAutoForwardDirection;
    return r;
  }();
  return rows;
}

const std::vector<ShownSetting>& LanSettings() {
  static const std::vector<ShownSetting> rows = [] {
    std::vector<ShownSetting> r = {
        L("IP ADDRESS", "IP ADDRESS 1", "SeIpAddress1", ITEM(m_objIpAddress1), K::Number),
        L("IP ADDRESS", "IP ADDRESS 2", "SeIpAddress2", ITEM(m_objIpAddress2), K::Number),
        L("IP ADDRESS", "IP ADDRESS 3", "SeIpAddress3", ITEM(m_objIpAddress3), K::Number),
        L("IP ADDRESS", "IP ADDRESS 4", "SeIpAddress4", ITEM(m_objIpAddress4), K::Number),
        L("SUBNET MASK", "SUBNET MASK 1", "SeSubNet1", ITEM(m_objSubnetMask1), K::Number),
        L("SUBNET MASK", "SUBNET MASK 2", "SeSubNet2", ITEM(m_objSubnetMask2), K::Number),
        L("SUBNET MASK", "SUBNET MASK 3", "SeSubNet3", ITEM(m_objSubnetMask3), K::Number),
        L("SUBNET MASK", "SUBNET MASK 4", "SeSubNet4", ITEM(m_objSubnetMask4), K::Number),
        L("DEFAULT GATEWAY", "DEFAULT GATEWAY 1", "SeGateway1", ITEM(m_objGateway1), K::Number),
        L("DEFAULT GATEWAY", "DEFAULT GATEWAY 2", "SeGateway2", ITEM(m_objGateway2), K::Number),
        L("DEFAULT GATEWAY", "DEFAULT GATEWAY 3", "SeGateway3", ITEM(m_objGateway3), K::Number),
        L("DEFAULT GATEWAY", "DEFAULT GATEWAY 4", "SeGateway4", ITEM(m_objGateway4), K::Number),
        L("SOCKET PORT", "SOCKET PORT", "cmbPort", ITEM(m_objSocketPortSetting), K::List),
        L("SOCKET PORT", "SOCKET PORT NUMBER", "SeSocetPort", ITEM(m_objSocketPortNumber), K::Number),
        L("DHCP", "DHCP", "cmbDhcp", ITEM(m_objDhcpSetting), K::List),
        L("DHCP HOST NAME", "DHCP HOST NAME", "txtDhcpName", ITEM(m_objDhcpClientHost), K::Text),
        // Read from the printer and written back in the DHCP record unchanged.
        L(nullptr, "DHCP CLIENT ID", "", ITEM(m_objDhcpClientId), K::Hidden),
    };
    return r;
  }();
  return rows;
}
#undef ITEM

const ShownSetting* FindShownSetting(const char* p_sControl) {
  if (!p_sControl || !*p_sControl) return nullptr;  // hidden settings have no control
  for (const auto* table : {&ParameterSettings(), &LanSettings()})
    for (const ShownSetting& row : *table)
      if (std::strcmp(row.control, p_sControl) == 0) return &row;
  return nullptr;
}

const char* RowCaptionOf(const char* p_sControl) {
  const ShownSetting* row = FindShownSetting(p_sControl);
  return row && row->rowCaption ? row->rowCaption : "";
}

std::string FieldTextOf(const CItemManager& p_objItems, const ShownSetting& p_objRow) {
  const std::string field = (p_objItems.*p_objRow.member).GetValueString();
  if (p_objRow.kind == K::Signed && p_objRow.direction)
    return (p_objItems.*p_objRow.direction).GetValueString() + field;
  if (p_objRow.kind == K::Text) {
    // The DHCP record fills the host name with character 255 to its width.
    const size_t width = static_cast<size_t>(std::max<int16_t>((p_objItems.*p_objRow.member).m_iLength, 0));
    if (field.size() < width) return field + std::string(width - field.size(), '\xFF');
  }
  return field;
}

int DecimalsOf(const ShownSetting& p_objRow) {
  const SpinSetupData* spin = FindSpinSetup(p_objRow.control);
  return spin ? spin->decimals : 0;
}

std::string FormatStepCount(long long p_iSteps, int p_iDecimals, bool p_bHex) {
  char buffer[40];
  if (p_bHex) {
    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned>(static_cast<uint32_t>(p_iSteps)));
    return buffer;
  }
  if (p_iDecimals <= 0) return std::to_string(p_iSteps);
  std::snprintf(buffer, sizeof buffer, "%.*f", p_iDecimals,
                static_cast<double>(p_iSteps) / std::pow(10.0, p_iDecimals));
  return buffer;
}

bool ParseShownNumber(const std::string& p_sText, int p_iDecimals, bool p_bHex, long long& p_iSteps) {
  if (p_sText.empty() || p_sText.size() > 16) return false;
  if (p_bHex) {
    long long number = 0;
    for (char c : p_sText) {
      const int digit = HexDigitValue(c);
      if (digit < 0) return false;
      number = number * 16 + digit;
    }
    p_iSteps = number;
    return true;
  }
  size_t i = 0;
  bool negative = false;
  if (p_sText[0] == '+' || p_sText[0] == '-') {
    negative = p_sText[0] == '-';
    i = 1;
  }
  long long whole = 0;
  int places = -1;  // digits after the point, -1 before the point
  bool digits = false;
  for (; i < p_sText.size(); ++i) {
    const char c = p_sText[i];
    if (c == '.' && places < 0) {
      places = 0;
      continue;
    }
    if (c < '0' || c > '9') return false;
    if (places >= 0 && ++places > p_iDecimals) return false;
    whole = whole * 10 + (c - '0');
    digits = true;
  }
  if (!digits) return false;
  for (int k = places < 0 ? 0 : places; k < p_iDecimals; ++k) whole *= 10;
  p_iSteps = negative ? -whole : whole;
  return true;
}

std::string ShownValueOf(const CItemManager& p_objItems, const ShownSetting& p_objRow) {
  const CItem& item = p_objItems.*p_objRow.member;
  const Value value = item.GetValue();
  switch (p_objRow.kind) {
    case K::List:
    case K::FontCodeList: {
      const ChoiceListData* list = FindChoiceList(p_objRow.control);
      double number = 0;
      if (list && ValueToNumber(value, number) && number == std::floor(number) && number >= 0 &&
          number < static_cast<double>(list->entries.size()))
        return list->entries[static_cast<size_t>(number)];
      return "<" + ValueToText(value) + ">";
    }
    case K::Signed: {
      // The box reads the direction followed by the magnitude as one number.
      const std::string text = ValueToText((p_objItems.*p_objRow.direction).GetValue()) + ValueToText(value);
      long long steps = 0;
      if (!ParseShownNumber(text, 0, false, steps)) return "<" + text + ">";
      return FormatStepCount(steps, DecimalsOf(p_objRow), false);
    }
    case K::Threshold:
    case K::Number: {
      long long steps = 0;
      const std::string text = ValueToText(value);
      if (!ParseShownNumber(text, 0, false, steps)) return "<" + text + ">";
      return FormatStepCount(steps, DecimalsOf(p_objRow), false);
    }
    case K::Hex: {
      double number = 0;
      if (!ValueToNumber(value, number)) return "<" + ValueToText(value) + ">";
      return FormatStepCount(static_cast<long long>(std::llround(number)), 0, true);
    }
    case K::Text: {
      // The host name as LOAD takes it: without the fill characters 255 that
      // pad it in the DHCP record.
      std::string text = ValueToText(value);
      text.erase(std::remove(text.begin(), text.end(), static_cast<char>(0xFF)), text.end());
      return text;
    }
    case K::Hidden:
      return item.GetValueString();
  }
  return std::string();
}

}  // namespace dz
