#pragma once
// The buttons of the page "Maintenance Mode": diagnostic print, head check,
// RAM clear, the three sensor adjustment steps, threshold calibration and
// test print. Each sends the commands built from the page's choices.
#include "OperationContext.h"

namespace dz {

void DiagPrint(OperationContext& ctx);
void HeadCheck(OperationContext& ctx);
void RamClear(OperationContext& ctx);
void ReflectiveAdjust(OperationContext& ctx);
void TransmissiveAdjust(OperationContext& ctx);
void PaperEndAdjust(OperationContext& ctx);
void ThresholdCalib(OperationContext& ctx);
void TestPrint(OperationContext& ctx);

}  // namespace dz
