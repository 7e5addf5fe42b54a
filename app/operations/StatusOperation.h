#pragma once
// "GET STATUS": asks the printer for its status; the reply's text appears in
// the status label when the link delivers it.
#include "OperationContext.h"

namespace dz {

bool RequestStatus(OperationContext& ctx);

}  // namespace dz
