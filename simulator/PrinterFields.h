// The printer's settings fields and the layouts of the records that carry
// them: every field by name with its width and factory value, the read
// records by read kind, and the write records.
//
// Internal to the model (PrinterModel.cpp); PrinterModel.h does not include
// it, and PrinterModel::FieldNames(), FieldWidth() and RecordWidth() are the
// public view of these tables.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace dzsim {

// A field as the printer stores it: name, width, factory value (field text).
// The font code holds the printer's own code, not a choice-list position.
struct FieldSpec {
  const char* name;
  int width;
  const char* factory;
};

constexpr std::size_t kFieldCount = 74;
extern const FieldSpec kFields[kFieldCount];

const FieldSpec* FindField(std::string_view name);  // nullptr when unknown

// Read records, by read kind: the fields in the order the printer sends them.
constexpr int kReadRecordCount = 5;
extern const std::vector<const char*> kReadRecords[kReadRecordCount];

// Write records: the fields after "{Z2;1," (kParameterWrite) and "{Z2;2,"
// (kAdjustmentWrite) and before "|}".
extern const std::vector<const char*> kParameterWrite;
extern const std::vector<const char*> kAdjustmentWrite;

// "{IP;k,aaa,bbb,ccc,ddd|}": the four fields of record k, for k = 2, 3, 4.
extern const char* const kAddressRecords[3][4];

// The characters of a record: the widths of its fields added up.
int RecordLength(const std::vector<const char*>& fields);

// The printer's font code for the code-page list position the Parameter
// write record carries.
char FontCodeFromPosition(char position);

}  // namespace dzsim
