#include "SettingWrite.h"

#include <algorithm>

namespace dz {
namespace {

std::vector<const CItem*> ItemsOf(CItemManager& p_objItems, const ShownSetting& p_objRow) {
  std::vector<const CItem*> items = {&(p_objItems.*p_objRow.member)};
  if (p_objRow.direction) items.push_back(&(p_objItems.*p_objRow.direction));
  return items;
}

}  // namespace

std::vector<const ShownSetting*> AllSettingRows() {
  std::vector<const ShownSetting*> rows;
  for (const auto* table : {&ParameterSettings(), &LanSettings()})
    for (const ShownSetting& row : *table) rows.push_back(&row);
  return rows;
}

bool RecordCarries(WriteRecord p_eRecord, const ShownSetting& p_objRow) {
  CItemManager items;
  const std::vector<CItem*> held = WriteRecordItems(items, p_eRecord);
  return std::find(held.begin(), held.end(), &(items.*p_objRow.member)) != held.end();
}

WritePlan PlanSettingWrite(const std::vector<SettingChange>& p_objChanges) {
  CItemManager items;
  std::vector<const CItem*> changed;
  for (const SettingChange& change : p_objChanges)
    for (const CItem* item : ItemsOf(items, *change.row)) changed.push_back(item);
  WritePlan plan;
  plan.records = WriteRecordsHolding(items, changed);
  plan.readKinds = ReadKindsFor(items, plan.records);
  std::vector<const CItem*> carried;
  for (WriteRecord record : plan.records)
    for (const CItem* item : WriteRecordItems(items, record)) carried.push_back(item);
  for (const ShownSetting* row : AllSettingRows()) {
    const CItem* item = &(items.*row->member);
    if (std::find(carried.begin(), carried.end(), item) == carried.end()) continue;
    (IsReportedByPrinter(*row) ? plan.compared : plan.unreported).push_back(row);
  }
  return plan;
}

bool CheckUnreportedGiven(const WritePlan& p_objPlan, const std::vector<SettingChange>& p_objChanges,
                          std::string& p_sError) {
  for (const ShownSetting* row : p_objPlan.unreported) {
    const bool given = std::any_of(p_objChanges.begin(), p_objChanges.end(),
                                   [&](const SettingChange& change) { return change.row == row; });
    if (given) continue;
    CItemManager items;
    std::string record;
    for (WriteRecord r : p_objPlan.records) {
      const std::vector<CItem*> held = WriteRecordItems(items, r);
      if (std::find(held.begin(), held.end(), &(items.*row->member)) != held.end()) record = WriteRecordName(r);
    }
    const std::vector<std::string> entries = ListEntriesOf(*row);
    p_sError = std::string(row->caption) + " must be given: the " + record +
               " write record these settings are sent in carries it, and the printer never reports it, so its "
               "current value cannot be kept (add '" +
               row->caption + "=" + (entries.empty() ? std::string("VALUE") : entries.front()) + "', one of " +
               AllowedValuesOf(*row) + ")";
    return false;
  }
  return true;
}

std::vector<std::string> BuildChangedRecords(CItemManager& p_objItems, const WritePlan& p_objPlan,
                                             const std::vector<SettingChange>& p_objChanges) {
  for (const SettingChange& change : p_objChanges) StoreShownInput(p_objItems, *change.row, change.value);
  std::vector<std::string> lines;
  for (WriteRecord record : p_objPlan.records) lines.push_back(BuildWriteRecordLine(p_objItems, record));
  return lines;
}

}  // namespace dz
