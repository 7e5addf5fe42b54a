#pragma once
// The records a printer's settings are read from: those of the parameter
// settings and that of the LAN settings.
#include <vector>

namespace cli {

inline const std::vector<int> kParameterKinds = {0, 1, 4};
inline const std::vector<int> kLanKinds = {3};

}  // namespace cli
