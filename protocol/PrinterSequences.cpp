#include "PrinterSequences.h"

#include "Commands.h"
#include "Replies.h"

namespace {
constexpr int kSensorPauseMs = 1000;     // the printer's second after an adjustment
constexpr int kHeadCheckPauseMs = 5000;  // the head check's time before the USB re-ask

SequenceStep Command(std::string p_sText, std::string p_sName, int p_iPauseMs = 0) {
  SequenceStep step;
  step.command = std::move(p_sText);
  step.name = std::move(p_sName);
  step.pauseAfterMs = p_iPauseMs;
  return step;
}

PrinterSequence One(std::string p_sName, std::string p_sText, int p_iPauseMs = 0) {
  PrinterSequence sequence{p_sName, {}, false};
  sequence.steps.push_back(Command(std::move(p_sText), std::move(p_sName), p_iPauseMs));
  return sequence;
}
}  // namespace

PrinterSequence StatusSequence() {
  PrinterSequence sequence{"status", {}, false};
  SequenceStep step = Command(BuildStatusCommand(), "status request");
  step.reply = StepReply::Status;
  sequence.steps.push_back(step);
  return sequence;
}

PrinterSequence ReadSequence(const std::vector<int>& p_objKinds) {
  PrinterSequence sequence{"read", {}, false};
  for (int kind : p_objKinds) {
    const std::string text = BuildReadRecordCommand(kind);
    if (text.empty()) continue;
    SequenceStep step = Command(text, "read of record " + std::to_string(kind));
    step.reply = StepReply::Record;
    step.readKind = kind;
    sequence.steps.push_back(step);
  }
  return sequence;
}

PrinterSequence WriteSequence(const std::vector<std::string>& p_objLines) {
  PrinterSequence sequence{"write", {}, false};
  for (size_t i = 0; i < p_objLines.size(); ++i)
    sequence.steps.push_back(Command(p_objLines[i], "write line " + std::to_string(i + 1)));
  return sequence;
}

PrinterSequence WriteParameterSequence(CItemManager& p_objItems) {
  return WriteSequence({BuildWriteRecordCommand(p_objItems, 1), BuildWriteRecordCommand(p_objItems, 2)});
}

PrinterSequence WriteLanSequence(CItemManager& p_objItems) {
  return WriteSequence({BuildIpAddressCommand(p_objItems, 2), BuildIpAddressCommand(p_objItems, 3),
                        BuildIpAddressCommand(p_objItems, 4), BuildSocketPortCommand(p_objItems),
                        BuildDhcpCommand(p_objItems)});
}

PrinterSequence HeadCheckSequence() {
  PrinterSequence sequence{"head check", {}, false};
  SequenceStep check = Command(BuildHeadCheckCommand(), "head check");
  check.reply = StepReply::Status;
  sequence.steps.push_back(check);
  SequenceStep again = Command(BuildStatusCommand(), "status after the head check");
  again.reply = StepReply::Status;
  again.usbOnly = true;
  sequence.steps.push_back(again);
  return sequence;
}

PrinterSequence ReflectiveAdjustSequence() {
  return One("reflective sensor adjustment", BuildReflectiveAdjustCommand(), kSensorPauseMs);
}

PrinterSequence TransmissiveAdjustSequence() {
  return One("transmissive sensor adjustment", BuildTransmissiveAdjustCommand(), kSensorPauseMs);
}

PrinterSequence PaperEndAdjustSequence() {
  PrinterSequence sequence{"paper-end sensor adjustment", {}, true};
  sequence.steps.push_back(Command(BuildPaperEndAdjustCommand(0), "paper-end adjustment step 1"));
  sequence.steps.push_back(Command(BuildPaperEndAdjustCommand(1), "paper-end adjustment step 2", kSensorPauseMs));
  return sequence;
}

PrinterSequence ThresholdCalibSequence(int p_iSensor) {
  return One("threshold calibration", BuildThresholdCalibCommand(p_iSensor));
}

PrinterSequence TestPrintSequence(const TestPrintSettings& p_objSettings) {
  return One("test print", BuildTestPrintCommand(p_objSettings));
}

PrinterSequence DiagPrintSequence(int p_iPrintType) {
  return One("diagnostic print", BuildDiagPrintCommand(p_iPrintType));
}

PrinterSequence RamClearSequence(int p_iMode, int p_iDestination) {
  return One("RAM clear", BuildRamClearCommand(p_iMode, p_iDestination));
}

std::vector<SequenceStep> StepsForLink(const PrinterSequence& p_objSequence, bool p_bUsb) {
  std::vector<SequenceStep> steps;
  for (const SequenceStep& step : p_objSequence.steps) {
    if (step.usbOnly && !p_bUsb) continue;
    steps.push_back(step);
  }
  // Over USB the head check waits for the printer before it asks again.
  if (p_bUsb)
    for (size_t i = 0; i + 1 < steps.size(); ++i)
      if (steps[i + 1].usbOnly) steps[i].pauseAfterMs = kHeadCheckPauseMs;
  return steps;
}
