#pragma once
// A change of a few settings on a printer: the write records that hold them
// (and only those are sent), the read records to read first so that every
// other field of those records keeps the printer's own value, and the record
// lines with the change made.
#include <string>
#include <vector>

#include "SettingInput.h"
#include "WriteRecords.h"

namespace dz {

struct WritePlan {
  std::vector<WriteRecord> records;  // to send, in the order SET sends them
  std::vector<int> readKinds;        // to read before the write and again after it
  // Settings the records carry that no read record reports (the stop bit):
  // their value cannot be kept, so the change must give it.
  std::vector<const ShownSetting*> unreported;
  // The settings the records carry and the printer reports: what the
  // read-back compares.
  std::vector<const ShownSetting*> compared;
};

WritePlan PlanSettingWrite(const std::vector<SettingChange>& p_objChanges);

// False, with a message that says why, when a record to send carries a
// setting the printer never reports and the change does not give it.
bool CheckUnreportedGiven(const WritePlan& p_objPlan, const std::vector<SettingChange>& p_objChanges,
                          std::string& p_sError);

// Stores the changes into the catalogue, which holds what the printer
// reported in the plan's read records, and returns the plan's record lines.
std::vector<std::string> BuildChangedRecords(CItemManager& p_objItems, const WritePlan& p_objPlan,
                                             const std::vector<SettingChange>& p_objChanges);

// Whether the record carries the setting.
bool RecordCarries(WriteRecord p_eRecord, const ShownSetting& p_objRow);

// The rows of the parameter and LAN settings, in the order `show` prints them.
std::vector<const ShownSetting*> AllSettingRows();

}  // namespace dz
