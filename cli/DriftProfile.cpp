#include "DriftProfile.h"

#include "Replies.h"
#include "commands/RecordKinds.h"

std::unique_ptr<DriftProfile> DriftProfile::Load(const QString& p_sPath, QString& p_sError) {
  SettingsFile file;
  if (!ReadSettingsFileChecked(p_sPath, file, p_sError)) return nullptr;
  auto profile = std::make_unique<DriftProfile>();
  LoadSettings(file, profile->m_objItems);
  profile->m_sPath = p_sPath;
  profile->m_eKind = file.kind;
  profile->m_objRows = RowsCompared(file.kind);
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
