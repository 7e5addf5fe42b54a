// Starting states other than the factory one, so that a test can tell a
// tool that compares or writes a setting it should not touch: every field
// scrambled from a seed (each field then differs from its factory value),
// or the fields named in a state file.
//
// Plain C++17, part of the printer model.
#pragma once

#include <cstdint>
#include <string>

#include "PrinterModel.h"

namespace dzsim {

// Gives every field a value of its width that differs from its factory
// value, the same for the same seed: directions flipped, digit fields other
// digits, the DHCP client id other letters and digits, the DHCP host name a
// short name filled with character 255. Every value is one the printer
// could report.
void ScrambleFields(PrinterModel& model, std::uint32_t seed);

// Sets the fields a state file names. One "Name=value" a line (a value of
// exactly the field's width; "\xNN" stands for the byte NN); blank lines and
// lines starting with "#" are skipped. False and the line's fault for an
// unknown name or a value of the wrong width; fields before it are set.
bool LoadStateText(PrinterModel& model, const std::string& text, std::string& error);

}  // namespace dzsim
