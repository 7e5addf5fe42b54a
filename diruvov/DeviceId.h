// The IEEE 1284 device ID: unpacking the GET_DEVICE_ID answer, splitting it
// into its fields, and the rule that decides whether it names a printer this
// tool can configure.
#ifndef DIRUVOV_DEVICEID_H
#define DIRUVOV_DEVICEID_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace diruvov {

// Text of a GET_DEVICE_ID answer of `received` bytes. The answer starts with a
// two-byte length that counts itself; the class definition says big-endian,
// some printers send it little-endian. The byte order whose length fits in
// what arrived wins, big-endian first; a length that fits neither way is cut
// to what arrived. The text ends at the length or at the first NUL byte.
// Nothing past `received` is read. No text at all gives nullopt.
std::optional<std::string> ExtractDeviceIdText(const uint8_t* answer, std::size_t received);

// "KEY:value;KEY:value;..." split into fields. Keys are upper-cased and the
// long names are folded onto the short ones (MANUFACTURER -> MFG,
// MODEL -> MDL, COMMAND SET -> CMD); keys and values are trimmed.
using DeviceIdFields = std::map<std::string, std::string>;
DeviceIdFields ParseDeviceId(const std::string& text);

// A printer this tool can configure, as its device ID names it.
struct SupportedPrinter {
  const char* manufacturer;  // MFG, compared without regard to case
  const char* modelPrefix;   // MDL must start with this (any case); "" = any model
};

// True when MFG and MDL match one row of the supported printers (see
// DeviceId.cpp) and MDL is not empty.
bool IsSupportedPrinter(const DeviceIdFields& fields);

// The same rule against another table (tests use this).
bool IsSupportedPrinter(const DeviceIdFields& fields, const SupportedPrinter* table, std::size_t count);

}  // namespace diruvov

#endif
