#pragma once
// The printer's write records as a whole: which items each carries, which
// read record reports each item, and the command line of each. A change of a
// few settings sends only the write records that hold them, each built whole
// from what the printer reported plus the change.
#include <string>
#include <vector>

class CItem;
class CItemManager;

enum class WriteRecord {
  Parameter,   // "{Z2;1"
  Adjustment,  // "{Z2;2"
  IpAddress,   // "{IP;2"
  Gateway,     // "{IP;3"
  SubnetMask,  // "{IP;4"
  SocketPort,  // "{IS;"
  Dhcp,        // "{IH;"
};

// Every write record in the order the window's SET buttons send them: the
// two "{Z2;" records, then the five LAN commands.
const std::vector<WriteRecord>& AllWriteRecords();
// A short name for messages: "Parameter", "Adjustment", "IP address", ...
const char* WriteRecordName(WriteRecord p_eRecord);

// The catalogue's items the record carries, in field order.
std::vector<CItem*> WriteRecordItems(CItemManager& p_objItems, WriteRecord p_eRecord);
// The read kind (0 to 4) whose record reports the item; -1 when no read
// record does (the stop bit).
int ReadKindOfItem(CItemManager& p_objItems, const CItem* p_pItem);

// The write records that carry any of the items, in sending order.
std::vector<WriteRecord> WriteRecordsHolding(CItemManager& p_objItems, const std::vector<const CItem*>& p_objChanged);
// The read kinds that report the items of the records, in the order a read
// of the pages asks for them (0, 1, 4, then 3).
std::vector<int> ReadKindsFor(CItemManager& p_objItems, const std::vector<WriteRecord>& p_objRecords);
// The items of the records that no read record reports.
std::vector<const CItem*> UnreportedItems(CItemManager& p_objItems, const std::vector<WriteRecord>& p_objRecords);

// The record's command line from the catalogue's current values.
std::string BuildWriteRecordLine(CItemManager& p_objItems, WriteRecord p_eRecord);
