#pragma once
// The printer operations as sequences of steps: which commands go out, in
// which order, which reply each expects, and how long the printer is given
// to act afterwards. The window's buttons and `dazavu` both run these; each
// adds only its presentation (labels and message boxes, or report lines).
// Adding a printer operation is adding a function here.
#include <string>
#include <vector>

#include "MaintenanceCommands.h"

class CItemManager;

enum class StepReply {
  None,    // a command without a reply
  Status,  // answered with a 13-byte status reply
  Record,  // answered with the record of the step's read kind
};

struct SequenceStep {
  std::string command;  // the command text, "{" ... "|}"
  StepReply reply = StepReply::None;
  int readKind = -1;     // Record steps: the kind read
  int pauseAfterMs = 0;  // the printer's time to act before the next step or the end
  bool usbOnly = false;  // taken only over USB (the head check's re-ask)
  std::string name;      // what the step does, for "step ... failed"
};

struct PrinterSequence {
  std::string name;
  std::vector<SequenceStep> steps;
  // The window sends the second paper-end command whatever became of the
  // first; `dazavu` stops at the first failure always.
  bool windowGoesOnAfterFailure = false;
};

// The records "READ" on the parameter page asks for, in order (the Sensor and
// LAN records are not read by it), and the one of the LAN frame's "READ".
inline const std::vector<int> kParameterReadKinds = {0, 1, 4};
inline const std::vector<int> kLanReadKinds = {3};

PrinterSequence StatusSequence();
PrinterSequence ReadSequence(const std::vector<int>& p_objKinds);
// The write lines in order, each a command without a reply.
PrinterSequence WriteSequence(const std::vector<std::string>& p_objLines);
// The Parameter then Adjustment write records from the catalogue ("SET").
PrinterSequence WriteParameterSequence(CItemManager& p_objItems);
// IP address, gateway, subnet mask, socket port, DHCP ("SET" of the LAN frame).
PrinterSequence WriteLanSequence(CItemManager& p_objItems);
// "{HD001,A|}" answered with a status reply; over USB the printer is asked
// again with "{WS|}" after 5 s, when it has finished the check.
PrinterSequence HeadCheckSequence();
// The sensor adjustment steps, each followed by a second for the printer.
PrinterSequence ReflectiveAdjustSequence();
PrinterSequence TransmissiveAdjustSequence();
PrinterSequence PaperEndAdjustSequence();
PrinterSequence ThresholdCalibSequence(int p_iSensor);
PrinterSequence TestPrintSequence(const TestPrintSettings& p_objSettings);
PrinterSequence DiagPrintSequence(int p_iPrintType);
PrinterSequence RamClearSequence(int p_iMode, int p_iDestination);

// The steps a link takes: over USB all, elsewhere those not marked usbOnly.
std::vector<SequenceStep> StepsForLink(const PrinterSequence& p_objSequence, bool p_bUsb);
