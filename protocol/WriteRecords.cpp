#include "WriteRecords.h"

#include <algorithm>

#include "CItemManager.h"
#include "Commands.h"

const std::vector<WriteRecord>& AllWriteRecords() {
  static const std::vector<WriteRecord> records = {
      WriteRecord::Parameter,  WriteRecord::Adjustment, WriteRecord::IpAddress, WriteRecord::Gateway,
      WriteRecord::SubnetMask, WriteRecord::SocketPort, WriteRecord::Dhcp};
  return records;
}

const char* WriteRecordName(WriteRecord p_eRecord) {
  switch (p_eRecord) {
    case WriteRecord::Parameter:
      return "Parameter";
    case WriteRecord::Adjustment:
      return "Adjustment";
    case WriteRecord::IpAddress:
      return "IP address";
    case WriteRecord::Gateway:
      return "gateway";
    case WriteRecord::SubnetMask:
      return "subnet mask";
    case WriteRecord::SocketPort:
      return "socket port";
    case WriteRecord::Dhcp:
      return "DHCP";
  }
  return "";
}

std::vector<CItem*> WriteRecordItems(CItemManager& p_objItems, WriteRecord p_eRecord) {
  std::vector<CItem*> group;
  switch (p_eRecord) {
    case WriteRecord::Parameter:
      p_objItems.SetItem_Parameter(group);
      break;
    case WriteRecord::Adjustment:
      p_objItems.SetItem_Adjustment(group);
      break;
    case WriteRecord::IpAddress:
      p_objItems.SetItem_ExtraIpAddress(group);
      break;
    case WriteRecord::Gateway:
      p_objItems.SetItem_ExtraGateway(group);
      break;
    case WriteRecord::SubnetMask:
      p_objItems.SetItem_ExtraSubnet(group);
      break;
    case WriteRecord::SocketPort:
      group = {&p_objItems.m_objSocketPortSetting, &p_objItems.m_objSocketPortNumber};
      break;
    case WriteRecord::Dhcp:
      group = {&p_objItems.m_objDhcpSetting, &p_objItems.m_objDhcpClientId, &p_objItems.m_objDhcpClientHost};
      break;
  }
  return group;
}

int ReadKindOfItem(CItemManager& p_objItems, const CItem* p_pItem) {
  std::vector<CItem*> group;
  for (int kind = 0; kind <= 4; ++kind) {
    p_objItems.GetItem_ReadKind(kind, group);
    if (std::find(group.begin(), group.end(), p_pItem) != group.end()) return kind;
  }
  return -1;
}

std::vector<WriteRecord> WriteRecordsHolding(CItemManager& p_objItems, const std::vector<const CItem*>& p_objChanged) {
  std::vector<WriteRecord> records;
  for (WriteRecord record : AllWriteRecords()) {
    const std::vector<CItem*> items = WriteRecordItems(p_objItems, record);
    const bool holds = std::any_of(p_objChanged.begin(), p_objChanged.end(), [&](const CItem* changed) {
      return std::find(items.begin(), items.end(), changed) != items.end();
    });
    if (holds) records.push_back(record);
  }
  return records;
}

std::vector<int> ReadKindsFor(CItemManager& p_objItems, const std::vector<WriteRecord>& p_objRecords) {
  std::vector<bool> needed(5, false);
  for (WriteRecord record : p_objRecords)
    for (const CItem* item : WriteRecordItems(p_objItems, record)) {
      const int kind = ReadKindOfItem(p_objItems, item);
      if (kind >= 0) needed[static_cast<size_t>(kind)] = true;
    }
  std::vector<int> kinds;
  for (int kind : {0, 1, 4, 3})
    if (needed[static_cast<size_t>(kind)]) kinds.push_back(kind);
  return kinds;
}

std::vector<const CItem*> UnreportedItems(CItemManager& p_objItems, const std::vector<WriteRecord>& p_objRecords) {
  std::vector<const CItem*> unreported;
  for (WriteRecord record : p_objRecords)
    for (const CItem* item : WriteRecordItems(p_objItems, record))
      if (ReadKindOfItem(p_objItems, item) < 0) unreported.push_back(item);
  return unreported;
}

std::string BuildWriteRecordLine(CItemManager& p_objItems, WriteRecord p_eRecord) {
  switch (p_eRecord) {
    case WriteRecord::Parameter:
      return BuildWriteRecordCommand(p_objItems, 1);
    case WriteRecord::Adjustment:
      return BuildWriteRecordCommand(p_objItems, 2);
    case WriteRecord::IpAddress:
      return BuildIpAddressCommand(p_objItems, 2);
    case WriteRecord::Gateway:
      return BuildIpAddressCommand(p_objItems, 3);
    case WriteRecord::SubnetMask:
      return BuildIpAddressCommand(p_objItems, 4);
    case WriteRecord::SocketPort:
      return BuildSocketPortCommand(p_objItems);
    case WriteRecord::Dhcp:
      return BuildDhcpCommand(p_objItems);
  }
  return std::string();
}
