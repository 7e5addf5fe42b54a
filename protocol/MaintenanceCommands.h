#pragma once
// The status, head-check, maintenance and test-print commands, built from the
// list positions and spin values that the maintenance page offers.
#include <cstdint>
#include <string>

// "{WS|}": ask for the 13-byte status reply.
std::string BuildStatusCommand();
// "{HD001,A|}": head check; answered with a status reply.
std::string BuildHeadCheckCommand();
// "{Z1" d "|}", d the position in the diagnostic print list (0 DIRECT, 1 TRANSFR).
std::string BuildDiagPrintCommand(int p_iPrintType);
// "{Z4;" c d "|}": c the RAM-clear mode position (0 PARAMETER, 1 MANTE.CNT);
// d = destination position - 1 only in mode 0 with one of the four named
// destinations selected (positions 1 to 4); -1 means nothing selected.
std::string BuildRamClearCommand(int p_iMode, int p_iDestination);
// "{Z6;0|}" reflective and "{Z6;1|}" transmissive sensor adjustment.
std::string BuildReflectiveAdjustCommand();
std::string BuildTransmissiveAdjustCommand();
// "{Z6;" i "1|}": the two paper-end adjustment commands, i = 0 then 1.
std::string BuildPaperEndAdjustCommand(int p_iStep);
// "{WT;1000," s "|}": s = sensor position + 1.
std::string BuildThresholdCalibCommand(int p_iSensor);

// Inputs of the test print, read from the maintenance page.
struct TestPrintSettings {
  int pattern = 0;  // FEED .. BARCODE = 0..4, FACTORY TEST = 5 (sent as 6)
  int32_t labelLength = 760;
  int32_t issueCount = 1;
  int printSpeed = 0;  // 0: 2"/sec, 1: 4"/sec
  int sensor = 0;      // NONE, REFLECT., TRANS.
  int cutType = 0;     // NO CUT, WITH CUT, PEEL OFF
  int printType = 0;   // DIRECT, TRANSFR
};
// "{Z3;" p LLLL MMMM "1057" CCCC s n t r "|}", 27 characters.
std::string BuildTestPrintCommand(const TestPrintSettings& p_objSettings);
