#pragma once
// The settings a printer should hold, from a settings file or a profile: the
// records to read from the printer to compare with it, and the captions of
// the settings that differ, as the window shows them.
//
// A file ending in .dt1 or .dt2 is a settings file: the settings it carries
// (its write records) and the printer reports (its read records) are
// compared, never KB I/F, which no file carries, nor STOP BIT, which no
// record reports. Any other file is a profile as apply reads it ("CAPTION:
// value" lines or the JSON of show --json): the settings it names that the
// printer reports are compared, and only the records holding them are read.
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CItemManager.h"
#include "Commands.h"
#include "SettingsSources.h"

// Whether the file is read as a settings file (.dt1, .dt2) rather than as a
// profile.
bool IsSettingsFilePath(const QString& p_sPath);

class DriftProfile {
 public:
  // Reads the file once and checks it whole (as write does); nullptr and the
  // reason when it is unreadable or rejected.
  static std::unique_ptr<DriftProfile> Load(const QString& p_sPath, QString& p_sError);

  const QString& Path() const { return m_sPath; }
  // The read kinds that hold the compared settings: 0, 1, 4 and/or 3.
  const std::vector<int>& ReadKinds() const { return m_objReadKinds; }
  // The rows compared: carried by the file and reported by the printer.
  const std::vector<const dz::ShownSetting*>& Rows() const { return m_objRows; }
  // The settings that differ between the printer's catalogue and the file.
  std::vector<Difference> Compare(const CItemManager& p_objPrinter) const;
  // The same from the printer's record reply frames, one per read kind; false
  // when a frame is missing or cannot be stored.
  bool CompareRecords(const std::map<int, Bytes>& p_objRecords, std::vector<Difference>& p_objDifferences) const;

 private:
  QString m_sPath;
  std::vector<int> m_objReadKinds;
  CItemManager m_objItems;
  std::vector<const dz::ShownSetting*> m_objRows;
};
