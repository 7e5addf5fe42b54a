#include "ChoiceListData.h"

namespace dz {

const std::vector<ChoiceListData>& MainWindowChoiceListData() {
  static const std::vector<ChoiceListData> lists = {
      // Page "Parameter Setting"
      {"cmbFontCode",
       {"PC-850", "PC-852", "PC-857", "PC-8", "PC-851", "PC-855", "PC-1250", "PC-1251", "PC-1252", "PC-1253", "PC-1254",
        "PC-1257", "LATIN9", "Arabic", "PC-866", "UTF-8"},
       true},
      {"cmbZeroCode", {"NO SLASH", "WITH SLASH"}, true},
      {"cmbSpeed", {"2400bps", "4800bps", "9600bps", "19200bps", "38400bps", "115200bps"}, true},
      {"cmbDataLeg", {"7bits", "8bits"}, true},
      {"cmbStopBit", {"1bit", "2bits"}, true},
      {"cmbParity", {"NONE", "EVEN", "ODD"}, true},
      {"cmbControl", {"XON/XOFF", "READY/BUSY(DTR)", "XON+READY AUTO", "XON/XOFF AUTO", "READY/BUSY(RTS)"}, true},
      {"cmbFowardWait", {"OFF", "ON"}, true},
      {"cmbCode", {"AUTO", "ESC,LF,NUL", "{,|,}", "MANUAL"}, true},
      {"cmbPeelOffStatus", {"OFF", "ON"}, true},
      {"cmbFeedKey", {"FEED", "PRINT"}, true},
      {"cmbKanji", {"TYPE1", "TYPE2"}, true},
      {"cmbAutoHdChk", {"OFF", "ON"}, true},
      {"cmbAckBusy", {"TYPE1", "TYPE2"}, true},
      {"cmbWebPrinter", {"OFF", "ON"}, true},
      {"cmbInputPrime", {"OFF", "ON"}, true},
      {"cmbRibbonNearEnd", {"OFF", "30m", "70m"}, true},
      {"cmbExIoMode", {"TYPE1", "TYPE2"}, true},
      {"cmbPlugPlay", {"OFF", "ON"}, true},
      {"cmbLblRbnEnd", {"TYPE1", "TYPE2"}, true},
      {"cmbPrePeelOff", {"OFF", "ON"}, true},
      {"cmbBackSpeed", {"STD", "LOW"}, true},
      {"cmbMaxiCodeSpec", {"TYPE1", "TYPE2"}, true},
      {"cmbKbIF", {"OFF", "KB60(1)", "KB60(2)", "KB80"}, true},
      {"cmbPeelOffTrq", {"R0", "R1", "R2", "R3"}, true},
      // Page "Maintenance Mode"
      {"cmbDiagPrint", {"DIRECT", "TRANSFR"}, true},
      {"cmbPattern", {"FEED", "SLANT LINE(1DOT)", "SLANT LINE(3DOT)", "CHARACTERS", "BARCODE", "FACTORY TEST"}, true},
      {"cmbPrintSpeed", {"2\"/sec", "4\"/sec"}, true},
      {"cmbSensor", {"NONE", "REFLECT.", "TRANS."}, true},
      {"cmbType", {"NO CUT", "WITH CUT", "PEEL OFF"}, true},
      {"cmbPrtType", {"DIRECT", "TRANSFR"}, true},
      {"cmbThresholdCalib", {"REFLECT.", "TRANS."}, true},
      {"cmbRamClear", {"PARAMETER", "MANTE.CNT"}, true},
      // The first entry is an empty text, distinct from no selection.
      {"cmbDestination", {"", "JA", "CN", "QP", "QQ"}, false},
      // Page "Extra Setting"
      {"cmbPort", {"OFF", "ON"}, true},
      {"cmbDhcp", {"OFF", "ON"}, true},
  };
  return lists;
}

const ChoiceListData& InterfaceChoiceListData() {
  static const ChoiceListData list = {"cmbInterface", {"COM", "LAN", "USB"}, true};
  return list;
}

const ChoiceListData* FindChoiceList(const std::string& p_sName) {
  for (const ChoiceListData& list : MainWindowChoiceListData())
    if (p_sName == list.name) return &list;
  if (p_sName == InterfaceChoiceListData().name) return &InterfaceChoiceListData();
  return nullptr;
}

int ChoicePosition(const ChoiceListData& p_objList, const std::string& p_sEntry) {
  for (size_t i = 0; i < p_objList.entries.size(); ++i)
    if (p_objList.entries[i] == p_sEntry) return static_cast<int>(i);
  return -1;
}

}  // namespace dz
