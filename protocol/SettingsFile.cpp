#include "SettingsFile.h"

#include <utility>

#include "CItemManager.h"
#include "Commands.h"
#include "FieldChecks.h"

namespace {

constexpr char kFill = static_cast<char>(0xFF);

// One field of a loaded line waiting to be stored.
using Assignment = std::pair<CItem*, std::string>;

// Cuts the fields of an item group out of a line from character 7 (index 6).
void CutGroup(const std::string& line, const std::vector<CItem*>& group, std::vector<Assignment>& out) {
  size_t position = 6;
  for (CItem* item : group) {
    const size_t width = static_cast<size_t>(item->m_iLength);
    out.emplace_back(item, line.substr(position, width));
    position += width;
  }
}

// A field holding a frame character would let the line carry more than one
// command: such a line is a format error.
bool Apply(const std::vector<Assignment>& assignments) {
  for (const Assignment& a : assignments)
    if (HoldsFrameCharacter(a.second)) return false;
  for (const Assignment& a : assignments) a.first->SetValue(a.second);
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::vector<std::string> BuildParameterFileLines(CItemManager& p_objItems) {
  return {BuildWriteRecordCommand(p_objItems, 1), BuildWriteRecordCommand(p_objItems, 2)};
}

std::vector<std::string> BuildLanFileLines(CItemManager& p_objItems) {
  return {BuildIpAddressCommand(p_objItems, 2), BuildIpAddressCommand(p_objItems, 3),
          BuildIpAddressCommand(p_objItems, 4), BuildSocketPortCommand(p_objItems), BuildDhcpCommand(p_objItems)};
}

std::string JoinFileLines(const std::vector<std::string>& p_objLines) {
  std::string file;
  for (const std::string& line : p_objLines) file += line + "\r\n";
  return file;
}

std::vector<std::string> SplitFileLines(const std::string& p_sFile, LineWidths p_fnWidths) {
  std::vector<std::string> lines;
  const size_t size = p_sFile.size();
  // Length of the line end at position i: 2 for CR LF, 1 for a lone CR or LF,
  // 0 for none.
  const auto lineEnd = [&](size_t i) -> size_t {
    if (i >= size) return 0;
    if (p_sFile[i] == '\r') return (i + 1 < size && p_sFile[i + 1] == '\n') ? 2 : 1;
    return p_sFile[i] == '\n' ? 1 : 0;
  };
  const auto isWidth = [](const std::vector<size_t>& widths, size_t n) {
    for (size_t w : widths)
      if (w == n) return true;
    return false;
  };
  const auto closed = [&](size_t start, size_t width) {
    return width >= 2 && p_sFile.compare(start + width - 2, 2, "|}") == 0;
  };

  size_t start = 0;
  while (start < size) {
    size_t end = start;
    while (end < size && lineEnd(end) == 0) ++end;
    size_t length = end - start;

    const std::vector<size_t> widths = p_fnWidths ? p_fnWidths(p_sFile.substr(start, 5)) : std::vector<size_t>{};
    if (!(isWidth(widths, length) && closed(start, length))) {
      for (size_t w : widths) {
        if (w > length && start + w <= size && closed(start, w) && lineEnd(start + w) != 0) {
          length = w;  // a field of this line holds line-end bytes
          break;
        }
      }
    }
    lines.push_back(p_sFile.substr(start, length));
    start += length;
    start += lineEnd(start);
  }
  return lines;
}

std::vector<size_t> ParameterLineWidths(const std::string& p_sHead) {
  if (p_sHead == "{Z2;1") return {43};
  if (p_sHead == "{Z2;2") return {39};
  return {};
}

std::vector<size_t> LanLineWidths(const std::string& p_sHead) {
  if (p_sHead == "{IP;2" || p_sHead == "{IP;3" || p_sHead == "{IP;4") return {23};
  const std::string prefix = p_sHead.substr(0, 4);
  if (prefix == "{IS;") return {13};
  if (prefix == "{IH;") return {57, 40};
  return {};
}

bool LoadParameterFile(CItemManager& p_objItems, const std::string& p_sFile) {
  std::vector<Assignment> assignments;
  std::vector<CItem*> group;
  for (const std::string& line : SplitFileLines(p_sFile, ParameterLineWidths)) {
    if (line.compare(0, 4, "{Z2;") != 0 || line.size() < 5) return false;
    if (line[4] == '1' && line.size() == 43)
      p_objItems.SetItem_Parameter(group);
    else if (line[4] == '2' && line.size() == 39)
      p_objItems.SetItem_Adjustment(group);
    else
      return false;
    CutGroup(line, group, assignments);
  }
  return Apply(assignments);
}

bool LoadLanFile(CItemManager& p_objItems, const std::string& p_sFile) {
  std::vector<Assignment> assignments;
  std::vector<CItem*> group;
  for (const std::string& line : SplitFileLines(p_sFile, LanLineWidths)) {
    const std::string prefix = line.substr(0, 4);
    if (prefix == "{IP;") {
      // The fifth character is compared as a digit; anything else cannot be
      // compared and fails the file.
      if (line.size() < 5 || !IsDigit(line[4])) return false;
      const char record = line[4];
      if (record != '2' && record != '3' && record != '4') continue;  // another IP record: skipped
      if (line.size() != 23) return false;
      if (record == '2')
        p_objItems.SetItem_ExtraIpAddress(group);
      else if (record == '3')
        p_objItems.SetItem_ExtraGateway(group);
      else
        p_objItems.SetItem_ExtraSubnet(group);
      for (size_t i = 0; i < group.size(); ++i) assignments.emplace_back(group[i], line.substr(6 + 4 * i, 3));
    } else if (prefix == "{IS;") {
      if (line.size() != 13) return false;
      assignments.emplace_back(&p_objItems.m_objSocketPortSetting, line.substr(4, 1));
      assignments.emplace_back(&p_objItems.m_objSocketPortNumber, line.substr(6, 5));
    } else if (prefix == "{IH;") {
      if (line.size() != 40 && line.size() != 57) return false;
      assignments.emplace_back(&p_objItems.m_objDhcpSetting, line.substr(4, 1));
      assignments.emplace_back(&p_objItems.m_objDhcpClientId, line.substr(6, 32));
      if (line.size() == 57) {
        std::string host;
        for (char c : line.substr(39, 16))
          if (c != kFill) host += c;
        assignments.emplace_back(&p_objItems.m_objDhcpClientHost, host);
      }
    } else {
      return false;
    }
  }
  return Apply(assignments);
}
