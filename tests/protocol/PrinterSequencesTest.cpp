// The printer operations as step lists: what goes out, in which order, with
// which reply and pause, for the window and dazavu alike.
#include <gtest/gtest.h>

#include "CItemManager.h"
#include "PrinterSequences.h"

namespace {
std::vector<std::string> Commands(const std::vector<SequenceStep>& steps) {
  std::vector<std::string> out;
  for (const SequenceStep& step : steps) out.push_back(step.command);
  return out;
}
}  // namespace

TEST(PrinterSequencesTest, HeadCheckAsksAgainOnlyOverUsbAfterFiveSeconds) {
  const PrinterSequence check = HeadCheckSequence();
  const auto lan = StepsForLink(check, false);
  ASSERT_EQ(Commands(lan), std::vector<std::string>{"{HD001,A|}"});
  EXPECT_EQ(lan[0].reply, StepReply::Status);
  EXPECT_EQ(lan[0].pauseAfterMs, 0);
  const auto usb = StepsForLink(check, true);
  ASSERT_EQ(Commands(usb), (std::vector<std::string>{"{HD001,A|}", "{WS|}"}));
  EXPECT_EQ(usb[0].pauseAfterMs, 5000);
  EXPECT_EQ(usb[1].reply, StepReply::Status);
}

TEST(PrinterSequencesTest, ReadsWritesAndAdjustmentsInTheirOrder) {
  const PrinterSequence read = ReadSequence(kParameterReadKinds);
  EXPECT_EQ(Commands(read.steps), (std::vector<std::string>{"{Z5;0|}", "{Z5;1|}", "{Z5;4|}"}));
  EXPECT_EQ(read.steps[2].readKind, 4);
  EXPECT_TRUE(ReadSequence({7}).steps.empty());  // no such record

  CItemManager items;
  const PrinterSequence lan = WriteLanSequence(items);
  ASSERT_EQ(lan.steps.size(), 5u);
  EXPECT_EQ(lan.steps[0].command.substr(0, 6), "{IP;2,");
  EXPECT_EQ(lan.steps[4].command.substr(0, 4), "{IH;");
  EXPECT_EQ(lan.steps[4].name, "write line 5");

  // Paper end: two commands, one pause at the end; the window goes on after
  // a failed first command, the fleet tool does not.
  const PrinterSequence paperEnd = PaperEndAdjustSequence();
  EXPECT_EQ(Commands(paperEnd.steps), (std::vector<std::string>{"{Z6;01|}", "{Z6;11|}"}));
  EXPECT_EQ(paperEnd.steps[0].pauseAfterMs, 0);
  EXPECT_EQ(paperEnd.steps[1].pauseAfterMs, 1000);
  EXPECT_TRUE(paperEnd.windowGoesOnAfterFailure);
  EXPECT_EQ(ReflectiveAdjustSequence().steps[0].pauseAfterMs, 1000);
  EXPECT_FALSE(TransmissiveAdjustSequence().windowGoesOnAfterFailure);
  EXPECT_EQ(ThresholdCalibSequence(0).steps[0].command, "{WT;1000,1|}");
  EXPECT_EQ(DiagPrintSequence(1).steps[0].command, "{Z11|}");
}
