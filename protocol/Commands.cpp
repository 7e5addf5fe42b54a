#include "Commands.h"

#include "CItemManager.h"

bool TextToBytes(const std::string& p_sText, Bytes& p_byData) {
  p_byData.assign(p_sText.begin(), p_sText.end());
  return true;
}

namespace {
std::string JoinFields(const std::vector<CItem*>& items, const char* separator) {
  std::string text;
  for (const CItem* item : items) {
    text += separator;
    text += item->GetValueString(false);
  }
  return text;
}
}  // namespace

std::string BuildWriteRecordCommand(CItemManager& p_objItems, int p_iKind) {
  std::vector<CItem*> group;
  if (p_iKind == 1)
    p_objItems.SetItem_Parameter(group);
  else if (p_iKind == 2)
    p_objItems.SetItem_Adjustment(group);
  else
    return std::string();
  return "{Z2;" + std::to_string(p_iKind) + "," + JoinFields(group, "") + "|}";
}

std::string BuildReadRecordCommand(int p_iKind) {
  if (p_iKind < 0 || p_iKind > 4) return std::string();
  return "{Z5;" + std::to_string(p_iKind) + "|}";
}

std::string BuildIpAddressCommand(CItemManager& p_objItems, int p_iKind) {
  std::vector<CItem*> group;
  if (p_iKind == 2)
    p_objItems.SetItem_ExtraIpAddress(group);
  else if (p_iKind == 3)
    p_objItems.SetItem_ExtraGateway(group);
  else if (p_iKind == 4)
    p_objItems.SetItem_ExtraSubnet(group);
  else
    return std::string();
  return "{IP;" + std::to_string(p_iKind) + JoinFields(group, ",") + "|}";
}

std::string BuildSocketPortCommand(CItemManager& p_objItems) {
  return "{IS;" + p_objItems.m_objSocketPortSetting.GetValueString() + "," +
         p_objItems.m_objSocketPortNumber.GetValueString() + "|}";
}

std::string BuildDhcpCommand(CItemManager& p_objItems) {
  const std::string host = p_objItems.m_objDhcpClientHost.GetValueString();
  std::string text = "{IH;" + p_objItems.m_objDhcpSetting.GetValueString() + "," +
                     p_objItems.m_objDhcpClientId.GetValueString() + "," + host;
  if (host.size() < 16) text.append(16 - host.size(), static_cast<char>(0xFF));
  return text + "|}";
}
