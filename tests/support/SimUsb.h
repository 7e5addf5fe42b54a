#pragma once
// The control entry points of the simulator build of the USB transfer
// library, bound from the same file the program loads, so both see one
// simulated printer.
#include <QLibrary>
#include <string>
#include <vector>

#include "DiruvovSim.h"

struct SimUsb {
  QLibrary library{QString::fromUtf8(kDiruvovSimLibraryPath)};
  void (*Reset)() = nullptr;
  void (*SetOpenResult)(int32_t) = nullptr;
  void (*SetFailSend)(int32_t) = nullptr;
  void (*SetFailAll)(int32_t) = nullptr;
  int32_t (*SetStatusCode)(const char*) = nullptr;
  int32_t (*SetMode)(int32_t, int32_t) = nullptr;
  int32_t (*SetField)(const char*, const char*) = nullptr;
  int32_t (*GetField)(const char*, char*, int32_t) = nullptr;
  int32_t (*CommandCount)() = nullptr;
  int32_t (*Command)(int32_t, uint8_t*, int32_t) = nullptr;
  int32_t (*SendCount)() = nullptr;
  int32_t (*CallLog)(char*, int32_t) = nullptr;

  bool Load() {
    if (!library.load()) return false;
    Reset = reinterpret_cast<void (*)()>(library.resolve("DiruvovSim_Reset"));
    SetOpenResult = reinterpret_cast<void (*)(int32_t)>(library.resolve("DiruvovSim_SetOpenResult"));
    SetFailSend = reinterpret_cast<void (*)(int32_t)>(library.resolve("DiruvovSim_SetFailSend"));
    SetFailAll = reinterpret_cast<void (*)(int32_t)>(library.resolve("DiruvovSim_SetFailAll"));
    SetStatusCode = reinterpret_cast<int32_t (*)(const char*)>(library.resolve("DiruvovSim_SetStatusCode"));
    SetMode = reinterpret_cast<int32_t (*)(int32_t, int32_t)>(library.resolve("DiruvovSim_SetMode"));
    SetField = reinterpret_cast<int32_t (*)(const char*, const char*)>(library.resolve("DiruvovSim_SetField"));
    GetField = reinterpret_cast<int32_t (*)(const char*, char*, int32_t)>(library.resolve("DiruvovSim_GetField"));
    CommandCount = reinterpret_cast<int32_t (*)()>(library.resolve("DiruvovSim_CommandCount"));
    Command = reinterpret_cast<int32_t (*)(int32_t, uint8_t*, int32_t)>(library.resolve("DiruvovSim_Command"));
    SendCount = reinterpret_cast<int32_t (*)()>(library.resolve("DiruvovSim_SendCount"));
    CallLog = reinterpret_cast<int32_t (*)(char*, int32_t)>(library.resolve("DiruvovSim_CallLog"));
    return Reset && SetOpenResult && SetFailSend && SetFailAll && SetStatusCode && SetMode && SetField && GetField &&
           CommandCount && Command && SendCount && CallLog;
  }

  // Every command the simulated printer received, as text.
  std::vector<std::string> Commands() {
    std::vector<std::string> out;
    for (int32_t i = 0; i < CommandCount(); ++i) {
      uint8_t buffer[512];
      const int32_t n = Command(i, buffer, sizeof buffer);
      out.emplace_back(reinterpret_cast<const char*>(buffer), n > 0 ? static_cast<size_t>(n) : 0u);
    }
    return out;
  }
  std::string Field(const char* name) {
    char buffer[128] = {};
    const int32_t n = GetField(name, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0u);
  }
  std::string Calls() {
    char buffer[4096] = {};
    const int32_t n = CallLog(buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0u);
  }
};
