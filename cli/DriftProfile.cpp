#include "DriftProfile.h"

#include <QFileInfo>
#include <algorithm>

#include "Replies.h"
#include "SettingChanges.h"
#include "commands/RecordKinds.h"

namespace {

const std::vector<int>& KindsOf(FileKind p_eKind) {
  return p_eKind == FileKind::Lan ? cli::kLanKinds : cli::kParameterKinds;
}

}  // namespace

bool IsSettingsFilePath(const QString& p_sPath) {
  const QString suffix = QFileInfo(p_sPath).suffix().toLower();
  return suffix == QLatin1String("dt1") || suffix == QLatin1String("dt2");
}

std::unique_ptr<DriftProfile> DriftProfile::Load(const QString& p_sPath, QString& p_sError) {
  auto profile = std::make_unique<DriftProfile>();
  profile->m_sPath = p_sPath;
  if (IsSettingsFilePath(p_sPath)) {
    SettingsFile file;
    if (!ReadSettingsFileChecked(p_sPath, file, p_sError)) return nullptr;
    LoadSettings(file, profile->m_objItems);
    profile->m_objReadKinds = KindsOf(file.kind);
    profile->m_objRows = RowsCompared(file.kind);
    return profile;
  }
  std::vector<dz::SettingChange> changes;
  if (!cli::ChangesFromProfile(p_sPath, changes, p_sError)) return nullptr;
  std::string error;
  if (!dz::CheckChanges(changes, error)) {
    p_sError = QStringLiteral("%1: %2").arg(p_sPath, Latin1(error));
    return nullptr;
  }
  std::vector<const dz::ShownSetting*> named;
  for (const dz::SettingChange& change : changes) {
    dz::StoreShownInput(profile->m_objItems, *change.row, change.value);
    named.push_back(change.row);
  }
  // The rows a printer reports, in the order show lists them, and the
  // records that hold them.
  for (FileKind kind : {FileKind::Parameter, FileKind::Lan}) {
    bool any = false;
    for (const dz::ShownSetting* row : RowsCompared(kind)) {
      if (std::find(named.begin(), named.end(), row) == named.end()) continue;
      profile->m_objRows.push_back(row);
      any = true;
    }
    if (any) profile->m_objReadKinds.insert(profile->m_objReadKinds.end(), KindsOf(kind).begin(), KindsOf(kind).end());
  }
  if (profile->m_objRows.empty()) {
    p_sError = QStringLiteral("%1: names no setting a printer reports").arg(p_sPath);
    return nullptr;
  }
  return profile;
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
