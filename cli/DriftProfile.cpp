#include "DriftProfile.h"

#include <algorithm>

#include "Replies.h"
#include "commands/RecordKinds.h"

namespace {

using Items = std::vector<CItem*>;

bool Holds(const Items& p_objItems, const CItem* p_pItem) {
  return std::find(p_objItems.begin(), p_objItems.end(), p_pItem) != p_objItems.end();
}

// The items the write commands of a file of the kind carry.
Items CarriedBy(CItemManager& p_objItems, FileKind p_eKind) {
  Items carried, group;
  if (p_eKind == FileKind::Parameter) {
    for (auto accessor : {&CItemManager::SetItem_Parameter, &CItemManager::SetItem_Adjustment}) {
      (p_objItems.*accessor)(group);
      carried.insert(carried.end(), group.begin(), group.end());
    }
  } else {
    for (auto accessor : {&CItemManager::SetItem_ExtraIpAddress, &CItemManager::SetItem_ExtraGateway,
                          &CItemManager::SetItem_ExtraSubnet}) {
      (p_objItems.*accessor)(group);
      carried.insert(carried.end(), group.begin(), group.end());
    }
    carried.insert(carried.end(),
                   {&p_objItems.m_objSocketPortSetting, &p_objItems.m_objSocketPortNumber, &p_objItems.m_objDhcpSetting,
                    &p_objItems.m_objDhcpClientId, &p_objItems.m_objDhcpClientHost});
  }
  return carried;
}

// The items the read records of the kinds report.
Items ReportedBy(CItemManager& p_objItems, const std::vector<int>& p_objKinds) {
  Items reported, group;
  for (int kind : p_objKinds) {
    p_objItems.GetItem_ReadKind(kind, group);
    reported.insert(reported.end(), group.begin(), group.end());
  }
  return reported;
}

}  // namespace

std::unique_ptr<DriftProfile> DriftProfile::Load(const QString& p_sPath, QString& p_sError) {
  auto profile = std::make_unique<DriftProfile>();
  if (!LoadSettingsFile(p_sPath, profile->m_objItems, p_sError)) return nullptr;
  profile->m_sPath = p_sPath;
  profile->m_eKind = KindOfFile(p_sPath);
  CItemManager catalogue;
  const Items carried = CarriedBy(catalogue, profile->m_eKind);
  const Items reported = ReportedBy(catalogue, profile->ReadKinds());
  for (const dz::ShownSetting& row : RowsOf(profile->m_eKind)) {
    const bool compared = Holds(carried, &(catalogue.*row.member)) && Holds(reported, &(catalogue.*row.member)) &&
                          (!row.direction || (Holds(carried, &(catalogue.*row.direction)) &&
                                              Holds(reported, &(catalogue.*row.direction))));
    if (compared) profile->m_objRows.push_back(row);
  }
  return profile;
}

const std::vector<int>& DriftProfile::ReadKinds() const {
  return m_eKind == FileKind::Lan ? cli::kLanKinds : cli::kParameterKinds;
}

std::vector<Difference> DriftProfile::Compare(const CItemManager& p_objPrinter) const {
  return CompareSettings(p_objPrinter, m_objItems, m_objRows);
}

bool DriftProfile::CompareRecords(const std::map<int, Bytes>& p_objRecords,
                                  std::vector<Difference>& p_objDifferences) const {
  CItemManager printer;
  for (int kind : ReadKinds()) {
    const auto it = p_objRecords.find(kind);
    if (it == p_objRecords.end() || it->second.size() < static_cast<size_t>(GetRecordWidth(kind) + 4)) return false;
    bool expected = true;
    if (!StoreRecordReply(printer, kind, it->second, expected)) return false;
  }
  p_objDifferences = Compare(printer);
  return true;
}
