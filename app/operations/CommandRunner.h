#pragma once
// The steps every printer operation shares: send one command through the
// link and, on LAN, wait for the link's confirmation; show the link's
// failure text; end the busy state when the operation stops.
#include <QString>
#include <string>

#include "OperationContext.h"

namespace dz {

// Sends one command inside a transaction the caller opened with BeginBusy.
// On failure shows the failure text (when there is one), ends the busy state
// and returns false; on success leaves the busy state to the caller.
bool SendCommandText(OperationContext& ctx, const std::string& p_sText, bool& p_bReplyExpected, int p_iReplySize = 0);

// A whole transaction around one command: BeginBusy, send, EndBusy.
bool RunCommand(OperationContext& ctx, const std::string& p_sText, bool& p_bReplyExpected, int p_iReplySize);

// Shows a failure text of the link (exclamation icon), if it is not empty.
void ShowLinkFailure(const QString& p_sText);

}  // namespace dz
