#pragma once
// The records a printer's settings are read from: those of the parameter
// settings and that of the LAN settings, as the window's two READ buttons
// read them (PrinterSequences.h).
#include <vector>

#include "PrinterSequences.h"

namespace cli {

inline const std::vector<int>& kParameterKinds = kParameterReadKinds;
inline const std::vector<int>& kLanKinds = kLanReadKinds;

}  // namespace cli
