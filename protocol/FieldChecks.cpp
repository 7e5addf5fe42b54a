#include "FieldChecks.h"

#include <cstdio>

#include "CItemManager.h"
#include "ReadKind.h"
#include "Replies.h"
#include "SettingsFile.h"

namespace {

constexpr unsigned char kFill = 0xFF;

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(unsigned char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

std::string Quoted(const std::string& p_sText) { return "\"" + EscapeForMessage(p_sText) + "\""; }

CItemManager& Mutable(const CItemManager& p_objItems) {
  // The group accessors only hand out references; they change nothing.
  return const_cast<CItemManager&>(p_objItems);
}

// Checks the fields of a group laid back to back in p_sText from p_iStart.
std::string CheckFields(const std::vector<CItem*>& p_objGroup, const std::string& p_sText, size_t p_iStart,
                        bool p_bFontCodeAt4 = false) {
  size_t position = p_iStart;
  for (size_t i = 0; i < p_objGroup.size(); ++i) {
    const CItem& item = *p_objGroup[i];
    const size_t width = static_cast<size_t>(item.m_iLength);
    const std::string text = p_sText.substr(position, width);
    std::string problem;
    if (p_bFontCodeAt4 && i == 4)
      problem = text.size() == 1 && IsHexDigit(static_cast<unsigned char>(text[0]))
                    ? std::string()
                    : Quoted(text) + " is not a hexadecimal digit";
    else
      problem = CheckFieldText(item, text);
    if (!problem.empty())
      return "field " + std::to_string(i + 1) + " (character " + std::to_string(position + 1) + "): " + problem;
    position += width;
  }
  return std::string();
}

std::string CheckLine(const std::string& p_sLine, const std::string& p_sHead, size_t p_iWidth, const char* p_sWhat) {
  if (p_sLine.compare(0, p_sHead.size(), p_sHead) != 0 || p_sLine.size() < p_sHead.size())
    return std::string("is not the ") + p_sWhat + " line (it must start with \"" + p_sHead + "\")";
  if (p_sLine.size() != p_iWidth)
    return std::string("the ") + p_sWhat + " line is " + std::to_string(p_sLine.size()) + " characters long, not " +
           std::to_string(p_iWidth);
  if (p_sLine.compare(p_iWidth - 2, 2, "|}") != 0)
    return std::string("the ") + p_sWhat + " line does not end in \"|}\"";
  return std::string();
}

// The separators "," at the given 0-based positions.
std::string CheckCommas(const std::string& p_sLine, const std::vector<size_t>& p_objPositions) {
  for (size_t at : p_objPositions)
    if (p_sLine[at] != ',')
      return "character " + std::to_string(at + 1) + " is " + Quoted(p_sLine.substr(at, 1)) + " where \",\" belongs";
  return std::string();
}

std::string CheckParameterLine(CItemManager& p_objItems, size_t p_iIndex, const std::string& p_sLine) {
  std::vector<CItem*> group;
  std::string problem;
  if (p_iIndex == 0) {
    p_objItems.SetItem_Parameter(group);
    problem = CheckLine(p_sLine, "{Z2;1", 43, "Parameter write record");
  } else {
    p_objItems.SetItem_Adjustment(group);
    problem = CheckLine(p_sLine, "{Z2;2", 39, "Adjustment write record");
  }
  if (problem.empty()) problem = CheckCommas(p_sLine, {5});
  if (problem.empty()) problem = CheckFields(group, p_sLine, 6);
  return problem;
}

std::string CheckLanLine(CItemManager& p_objItems, size_t p_iIndex, const std::string& p_sLine) {
  std::vector<CItem*> group;
  std::string problem;
  switch (p_iIndex) {
    case 0:
    case 1:
    case 2: {
      static const char* const kWhat[] = {"IP address", "gateway", "subnet mask"};
      if (p_iIndex == 0) p_objItems.SetItem_ExtraIpAddress(group);
      if (p_iIndex == 1) p_objItems.SetItem_ExtraGateway(group);
      if (p_iIndex == 2) p_objItems.SetItem_ExtraSubnet(group);
      problem = CheckLine(p_sLine, "{IP;" + std::to_string(p_iIndex + 2), 23, kWhat[p_iIndex]);
      if (problem.empty()) problem = CheckCommas(p_sLine, {5, 9, 13, 17});
      for (size_t i = 0; problem.empty() && i < group.size(); ++i) {
        problem = CheckFieldText(*group[i], p_sLine.substr(6 + 4 * i, 3));
        if (!problem.empty()) problem = "field " + std::to_string(i + 1) + ": " + problem;
      }
      return problem;
    }
    case 3:
      problem = CheckLine(p_sLine, "{IS;", 13, "socket port");
      if (problem.empty()) problem = CheckCommas(p_sLine, {5});
      if (problem.empty()) problem = CheckFieldText(p_objItems.m_objSocketPortSetting, p_sLine.substr(4, 1));
      if (problem.empty()) problem = CheckFieldText(p_objItems.m_objSocketPortNumber, p_sLine.substr(6, 5));
      return problem;
    default:
      problem = CheckLine(p_sLine, "{IH;", 57, "DHCP");
      if (problem.empty()) problem = CheckCommas(p_sLine, {5, 38});
      if (problem.empty()) problem = CheckFieldText(p_objItems.m_objDhcpSetting, p_sLine.substr(4, 1));
      if (problem.empty()) problem = CheckFieldText(p_objItems.m_objDhcpClientId, p_sLine.substr(6, 32));
      if (problem.empty()) problem = CheckFieldText(p_objItems.m_objDhcpClientHost, p_sLine.substr(39, 16));
      return problem;
  }
}

}  // namespace

FieldRule RuleOf(const CItem& p_objItem) {
  if (p_objItem.m_iDataType == TypeDecimal) return FieldRule::Decimal;
  if (p_objItem.m_iDataType == TypeHex) return FieldRule::Hex;
  return p_objItem.m_iLength == 1 ? FieldRule::Direction : FieldRule::Text;
}

bool IsControlByte(unsigned char p_cByte) { return p_cByte < 0x20 || (p_cByte >= 0x7F && p_cByte <= 0x9F); }

bool HoldsFrameCharacter(const std::string& p_sText) { return p_sText.find_first_of("{|}") != std::string::npos; }

std::string CheckFieldText(const CItem& p_objItem, const std::string& p_sText) {
  const size_t width = p_objItem.m_iLength > 0 ? static_cast<size_t>(p_objItem.m_iLength) : 0;
  if (p_sText.size() != width)
    return Quoted(p_sText) + " is " + std::to_string(p_sText.size()) + " characters, not " + std::to_string(width);
  switch (RuleOf(p_objItem)) {
    case FieldRule::Decimal:
      for (unsigned char c : p_sText)
        if (!IsDigit(c)) return Quoted(p_sText) + " is not a decimal number";
      return std::string();
    case FieldRule::Hex:
      for (unsigned char c : p_sText)
        if (!IsHexDigit(c)) return Quoted(p_sText) + " is not a hexadecimal number";
      return std::string();
    case FieldRule::Direction:
      return (p_sText == "+" || p_sText == "-") ? std::string() : Quoted(p_sText) + " is neither \"+\" nor \"-\"";
    case FieldRule::Text:
      for (unsigned char c : p_sText) {
        if (c == kFill) continue;
        if (IsControlByte(c)) return Quoted(p_sText) + " holds a control character";
      }
      if (HoldsFrameCharacter(p_sText)) return Quoted(p_sText) + " holds \"{\", \"|\" or \"}\"";
      return std::string();
  }
  return std::string();
}

std::string EscapeForMessage(const std::string& p_sText) {
  std::string out;
  for (unsigned char c : p_sText) {
    if (c == '\\' || IsControlByte(c) || (c >= 0x80 && c != kFill)) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string CheckSettingsFile(SettingsFileKind p_eKind, const std::string& p_sFile,
                              std::vector<std::string>& p_objLines) {
  const bool lan = p_eKind == SettingsFileKind::Lan;
  const size_t expected = lan ? 5 : 2;
  const char* const what = lan ? "a LAN settings file" : "a parameter settings file";
  std::vector<std::string> lines = SplitFileLines(p_sFile, lan ? LanLineWidths : ParameterLineWidths);
  CItemManager items;
  for (size_t i = 0; i < lines.size() && i < expected; ++i) {
    const std::string problem = lan ? CheckLanLine(items, i, lines[i]) : CheckParameterLine(items, i, lines[i]);
    if (!problem.empty()) return "line " + std::to_string(i + 1) + ": " + problem;
  }
  if (lines.size() != expected)
    return std::string(what) + " holds exactly " + std::to_string(expected) + " lines; this one holds " +
           std::to_string(lines.size());
  p_objLines = std::move(lines);
  return std::string();
}

std::string CheckRecordReply(int p_iKind, const Bytes& p_byFrame) {
  CItemManager items;
  std::vector<CItem*> group;
  if (!items.GetItem_ReadKind(p_iKind, group)) return "no record is read with kind " + std::to_string(p_iKind);
  const size_t width = static_cast<size_t>(GetRecordWidth(p_iKind));
  if (p_byFrame.empty() || p_byFrame[0] != kRecordStart) return "the record reply does not start with \"{\"";
  if (p_byFrame.size() < width + 2)
    return "the record reply holds " + std::to_string(p_byFrame.size()) + " bytes, fewer than its " +
           std::to_string(width + 4);
  const std::string text(p_byFrame.begin(), p_byFrame.end());
  const std::string problem = CheckFields(group, text, 2, p_iKind == kReadParameter);
  return problem.empty() ? problem : "record " + std::to_string(p_iKind) + ", " + problem;
}

std::string CheckStatusReply(const Bytes& p_byReply) {
  if (p_byReply.size() != static_cast<size_t>(kStatusReplyLength))
    return "the status reply holds " + std::to_string(p_byReply.size()) + " bytes, not " +
           std::to_string(kStatusReplyLength);
  if (p_byReply[0] != kSoh) return "the status reply does not start with 0x01";
  const std::string code = StatusCodeOf(p_byReply);
  std::string message;
  int known = 0;
  GetStatusMessage(code, message, known);
  if (known == 1) return std::string();
  char hex[16];
  std::snprintf(hex, sizeof hex, "%02x %02x", static_cast<unsigned char>(code[0]), static_cast<unsigned char>(code[1]));
  return std::string("unknown status code ") + hex;
}

std::vector<const CItem*> ItemsCarriedBy(const CItemManager& p_objItems, SettingsFileKind p_eKind) {
  CItemManager& items = Mutable(p_objItems);
  std::vector<const CItem*> carried;
  std::vector<CItem*> group;
  if (p_eKind == SettingsFileKind::Parameter) {
    items.SetItem_Parameter(group);
    carried.insert(carried.end(), group.begin(), group.end());
    items.SetItem_Adjustment(group);
    carried.insert(carried.end(), group.begin(), group.end());
    return carried;
  }
  items.SetItem_ExtraIpAddress(group);
  carried.insert(carried.end(), group.begin(), group.end());
  items.SetItem_ExtraGateway(group);
  carried.insert(carried.end(), group.begin(), group.end());
  items.SetItem_ExtraSubnet(group);
  carried.insert(carried.end(), group.begin(), group.end());
  // The socket port and DHCP records have no group of their own.
  for (const CItem* item : {&items.m_objSocketPortSetting, &items.m_objSocketPortNumber, &items.m_objDhcpSetting,
                            &items.m_objDhcpClientId, &items.m_objDhcpClientHost})
    carried.push_back(item);
  return carried;
}

std::vector<const CItem*> ItemsReportedByPrinter(const CItemManager& p_objItems) {
  CItemManager& items = Mutable(p_objItems);
  std::vector<const CItem*> reported;
  std::vector<CItem*> group;
  for (int kind = kReadAdjustment; kind <= kReadParameterExpansion; ++kind) {
    items.GetItem_ReadKind(kind, group);
    reported.insert(reported.end(), group.begin(), group.end());
  }
  return reported;
}
