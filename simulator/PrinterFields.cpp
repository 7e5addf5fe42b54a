#include "PrinterFields.h"

namespace dzsim {

// ---------------------------------------------------------------------------
// Fields as the printer stores them: name, width, factory value (field text).
// ---------------------------------------------------------------------------
constexpr char kNoHostName[] = "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF";

constexpr FieldSpec kFields[kFieldCount] = {
    // Mechanical adjustments
    {"FeedDirection", 1, "+"},
    {"FeedAdjustment", 3, "000"},
    {"CutPosDirection", 1, "+"},
    {"CutPosAdjustment", 3, "000"},
    {"BackFeedDirection", 1, "+"},
    {"BackFeedAdjustment", 2, "00"},
    {"ToneDirection_T", 1, "+"},
    {"ToneAdjustment_T", 2, "00"},
    {"ToneDirection_D", 1, "+"},
    {"ToneAdjustment_D", 2, "00"},
    {"RibbonMotorDirection_F", 1, "-"},
    {"RibbonMotorAdjustment_F", 2, "00"},
    {"RibbonMotorDirection_B", 1, "-"},
    {"RibbonMotorAdjustment_B", 2, "00"},
    {"XCoordinateDirection", 1, "+"},
    {"XCoordinateAdjustment", 3, "000"},
    {"PrintPosCorrectionDirection", 1, "+"},
    {"PrintPosCorrectionValue", 3, "000"},
    // Print parameters
    {"FontCode", 1, "0"},
    {"ZeroStyle", 1, "0"},
    {"Control", 1, "2"},
    {"ControlCode", 1, "0"},
    {"StripStatus", 1, "0"},
    {"ThresholdAdjustment_R", 2, "10"},
    {"ThresholdAdjustment_T", 2, "14"},
    {"KanjiCode", 1, "0"},
    {"Country", 1, "0"},
    {"EuroCode", 2, "B0"},
    // Sensors
    {"ThermalHeadSensor", 2, "00"},
    {"AmbientSensor", 2, "00"},
    {"ReflectiveSensor", 2, "00"},
    {"TransmissiveSensor", 2, "00"},
    // LAN interface
    {"LanSetting", 1, "0"},
    {"IpAddress1", 3, "192"},
    {"IpAddress2", 3, "168"},
    {"IpAddress3", 3, "010"},
    {"IpAddress4", 3, "020"},
    {"Gateway1", 3, "000"},
    {"Gateway2", 3, "000"},
    {"Gateway3", 3, "000"},
    {"Gateway4", 3, "000"},
    {"SubnetMask1", 3, "255"},
    {"SubnetMask2", 3, "255"},
    {"SubnetMask3", 3, "255"},
    {"SubnetMask4", 3, "000"},
    {"SocketPortSetting", 1, "1"},
    {"SocketPortNumber", 5, "08000"},
    {"DhcpSetting", 1, "0"},
    {"DhcpClientId", 32, "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"},
    {"DhcpClientHost", 16, kNoHostName},
    // Serial line and expansion parameters
    {"CommunicationSpeed", 1, "2"},
    {"DataLength", 1, "1"},
    {"StopBit", 1, "0"},
    {"Parity", 1, "1"},
    {"AutoForward", 1, "1"},
    {"AutoForwardDirection", 1, "+"},
    {"AutoForwardAdjustment", 2, "00"},
    {"ControlCode1st", 2, "1B"},
    {"ControlCode2nd", 2, "0A"},
    {"ControlCode3rd", 2, "00"},
    {"FeedKeyFunction", 1, "0"},
    {"HeadCheck", 1, "0"},
    {"AckBusyTiming", 1, "0"},
    {"WebPrinter", 1, "0"},
    {"ResetNInitSignalIsON", 1, "0"},
    {"RibbonNearEnd", 1, "0"},
    {"ExpansionIO", 1, "0"},
    {"PlugAndPlay", 1, "0"},
    {"LabelendRibbonend", 1, "0"},
    {"PreStrip", 1, "0"},
    {"BackFeedSpeed", 1, "1"},
    {"MaxiCodeSpec", 1, "0"},
    {"StripMotorTorque", 1, "0"},
    {"KeyboardIF", 1, "0"},
};
static_assert(kFields[kFieldCount - 1].name != nullptr, "kFieldCount is larger than the table");

const FieldSpec* FindField(std::string_view name) {
  for (const FieldSpec& f : kFields)
    if (name == f.name) return &f;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Read records, by read kind: the fields in the order the printer sends them.
// ---------------------------------------------------------------------------
const std::vector<const char*> kReadRecords[kReadRecordCount] = {
    // 0: Adjustment, 23 characters
    {"FeedDirection", "FeedAdjustment", "CutPosDirection", "CutPosAdjustment", "BackFeedDirection",
     "BackFeedAdjustment", "ToneDirection_T", "ToneAdjustment_T", "ToneDirection_D", "ToneAdjustment_D",
     "RibbonMotorDirection_F", "RibbonMotorAdjustment_F", "RibbonMotorDirection_B", "RibbonMotorAdjustment_B"},
    // 1: Parameter, 21 characters
    {"XCoordinateDirection", "XCoordinateAdjustment", "PrintPosCorrectionDirection", "PrintPosCorrectionValue",
     "FontCode", "ZeroStyle", "Control", "ControlCode", "StripStatus", "ThresholdAdjustment_R", "ThresholdAdjustment_T",
     "KanjiCode", "Country", "EuroCode"},
    // 2: Sensor, 8 characters
    {"ThermalHeadSensor", "AmbientSensor", "ReflectiveSensor", "TransmissiveSensor"},
    // 3: LAN, 92 characters
    {"LanSetting", "IpAddress1", "IpAddress2", "IpAddress3", "IpAddress4", "Gateway1", "Gateway2", "Gateway3",
     "Gateway4", "SubnetMask1", "SubnetMask2", "SubnetMask3", "SubnetMask4", "SocketPortSetting", "SocketPortNumber",
     "DhcpSetting", "DhcpClientId", "DhcpClientHost"},
    // 4: Parameter expansion, 27 characters (the stop bit is not reported)
    {"CommunicationSpeed",
     "DataLength",
     "Parity",
     "AutoForward",
     "AutoForwardDirection",
     "AutoForwardAdjustment",
     "ControlCode1st",
     "ControlCode2nd",
     "ControlCode3rd",
     "FeedKeyFunction",
     "HeadCheck",
     "AckBusyTiming",
     "WebPrinter",
     "ResetNInitSignalIsON",
     "RibbonNearEnd",
     "ExpansionIO",
     "PlugAndPlay",
     "LabelendRibbonend",
     "PreStrip",
     "BackFeedSpeed",
     "MaxiCodeSpec",
     "StripMotorTorque",
     "KeyboardIF"},
};

// ---------------------------------------------------------------------------
// Write records: the fields after "{Z2;1," / "{Z2;2," and before "|}".
// ---------------------------------------------------------------------------
const std::vector<const char*> kParameterWrite = {"FontCode",
                                                  "ZeroStyle",
                                                  "CommunicationSpeed",
                                                  "DataLength",
                                                  "StopBit",
                                                  "Parity",
                                                  "Control",
                                                  "AutoForward",
                                                  "AutoForwardDirection",
                                                  "AutoForwardAdjustment",
                                                  "ControlCode",
                                                  "ControlCode1st",
                                                  "ControlCode2nd",
                                                  "ControlCode3rd",
                                                  "StripStatus",
                                                  "FeedKeyFunction",
                                                  "KanjiCode",
                                                  "EuroCode",
                                                  "HeadCheck",
                                                  "AckBusyTiming",
                                                  "WebPrinter",
                                                  "ResetNInitSignalIsON",
                                                  "RibbonNearEnd",
                                                  "ExpansionIO",
                                                  "PlugAndPlay",
                                                  "LabelendRibbonend",
                                                  "PreStrip",
                                                  "BackFeedSpeed",
                                                  "MaxiCodeSpec",
                                                  "StripMotorTorque"};  // 35 characters

const std::vector<const char*> kAdjustmentWrite = {
    "FeedDirection",          "FeedAdjustment",          "CutPosDirection",        "CutPosAdjustment",
    "BackFeedDirection",      "BackFeedAdjustment",      "XCoordinateDirection",   "XCoordinateAdjustment",
    "ToneDirection_T",        "ToneAdjustment_T",        "ToneDirection_D",        "ToneAdjustment_D",
    "RibbonMotorDirection_F", "RibbonMotorAdjustment_F", "RibbonMotorDirection_B", "RibbonMotorAdjustment_B",
    "ThresholdAdjustment_R",  "ThresholdAdjustment_T"};  // 31 characters

// "{IP;k,aaa,bbb,ccc,ddd|}": the four fields of record k.
const char* const kAddressRecords[3][4] = {
    {"IpAddress1", "IpAddress2", "IpAddress3", "IpAddress4"},      // k = 2
    {"Gateway1", "Gateway2", "Gateway3", "Gateway4"},              // k = 3
    {"SubnetMask1", "SubnetMask2", "SubnetMask3", "SubnetMask4"},  // k = 4
};

int RecordLength(const std::vector<const char*>& fields) {
  int total = 0;
  for (const char* name : fields) total += FindField(name)->width;
  return total;
}

// The Parameter write record carries the font code as its position in the
// tool's code-page list; the printer keeps its own code. The tool maps code
// 1 to position 3, 2 to 1 and 3 to 2 when it reads, so the printer takes
// position 3 as code 1, 1 as 2 and 2 as 3.
char FontCodeFromPosition(char position) {
  switch (position) {
    case '3':
      return '1';
    case '1':
      return '2';
    case '2':
      return '3';
    default:
      return position;
  }
}

}  // namespace dzsim
