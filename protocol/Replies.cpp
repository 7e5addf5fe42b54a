#include "Replies.h"

#include <utility>

#include "CItemManager.h"

namespace {
struct StatusRow {
  const char* code;
  const char* message;
};
// Status codes with the text shown for them. "40" is known but shows nothing.
const StatusRow kStatusTable[] = {
    {"00", "ON LINE"},
    {"01", "Head Open (ON LINE)"},
    {"02", "On Running"},
    {"04", "PAUSE"},
    {"05", "Peel off waiting"},
    {"06", "Command Error"},
    {"07", "Rs232c Error"},
    {"11", "Paper JAM"},
    {"12", "Cutter Error"},
    {"13", "Paper Error"},
    {"14", "NO RIBBON"},
    {"15", "Head Open Error"},
    {"17", "Thermal head Error"},
    {"18", "Thermal head Temp Error"},
    {"21", "Ribbon Error"},
    {"22", "Thermistor Connector omission"},
    {"30", "The stacked form is full."},
    {"31", "Stacker Power OFF"},
    {"40", ""},
    {"41", "ON LINE"},
    {"50", "Flash Memory Write Error"},
    {"51", "Flash Memory Format Error"},
    {"54", "Flash Memory Empty"},
    {"55", "  Save Mode"},
};

// Field characters of the records of read kinds 0 to 4.
constexpr int kRecordWidths[] = {23, 21, 8, 92, 27};

constexpr int kFontCodeKind = 1;
constexpr size_t kFontCodeIndex = 4;
}  // namespace

bool GetStatusMessage(const std::string& p_sCode, std::string& p_sMessage, int& p_iReplyReceived) {
  for (const StatusRow& row : kStatusTable) {
    if (p_sCode == row.code) {
      if (*row.message) p_sMessage = row.message;
      p_iReplyReceived = 1;
      break;
    }
  }
  return true;
}

std::string StatusCodeOf(const Bytes& p_byReply) {
  std::string code;
  for (size_t i = 2; i < 4 && i < p_byReply.size(); ++i) code += static_cast<char>(p_byReply[i]);
  return code;
}

int GetRecordWidth(int p_iKind) { return (p_iKind >= 0 && p_iKind <= 4) ? kRecordWidths[p_iKind] : 0; }

int GetReplyLength(int p_iKind) {
  if (p_iKind == -1) return 7;
  if (p_iKind < 0 || p_iKind > 4) return 0;
  return 2 * (GetRecordWidth(p_iKind) + 4);
}

std::string ExtractItemText(const CItem& p_objItem, const Bytes& p_byData, size_t p_iStart) {
  std::string text;
  const size_t length = p_objItem.m_iLength > 0 ? static_cast<size_t>(p_objItem.m_iLength) : 0;
  for (size_t i = p_iStart; i < p_iStart + length && i < p_byData.size(); ++i) text += static_cast<char>(p_byData[i]);
  return text;
}

bool StoreRecordReply(CItemManager& p_objItems, int p_iKind, const Bytes& p_byData, bool& p_bReplyExpected) {
  if (p_iKind < 0 || p_iKind > 4) return false;
  std::vector<CItem*> group;
  if (!p_objItems.GetItem_ReadKind(p_iKind, group)) return false;

  size_t position = 2;
  for (size_t i = 0; i < group.size(); ++i) {
    CItem& item = *group[i];
    const size_t width = item.m_iLength > 0 ? static_cast<size_t>(item.m_iLength) : 0;
    if (position + width > p_byData.size()) break;  // the frame ended: keep the rest as it was
    std::string text = ExtractItemText(item, p_byData, position);
    if (p_iKind == kFontCodeKind && i == kFontCodeIndex) text = ConvertFontCode(text);
    item.SetValue(text);
    position += width;
  }
  p_bReplyExpected = false;
  return true;
}
