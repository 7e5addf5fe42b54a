#include "CommandRunner.h"

#include "CInterface.h"
#include "LinkDispatcher.h"
#include "common/MessageBox.h"

namespace dz {

void ShowLinkFailure(const QString& p_sText) {
  if (!p_sText.isEmpty()) ShowMessage(p_sText, MsgExclamation, kAppTitle);
}

bool SendCommandText(OperationContext& ctx, const std::string& p_sText, bool& p_bReplyExpected, int p_iReplySize) {
  Bytes bytes;
  TextToBytes(p_sText, bytes);
  QString error;
  Bytes reply;
  int32_t received = 0;
  if (!ctx.link.SendCommand(ctx.iface, bytes, reply, error, received, p_iReplySize, p_bReplyExpected)) {
    ShowLinkFailure(error);
    ctx.link.EndBusy();
    return false;
  }
  if (ctx.iface.GetActiveInterface() == kLinkLan && !ctx.link.WaitLanSendComplete(5)) {
    ctx.link.EndBusy();
    return false;
  }
  return true;
}

bool RunCommand(OperationContext& ctx, const std::string& p_sText, bool& p_bReplyExpected, int p_iReplySize) {
  ctx.link.BeginBusy();
  if (!SendCommandText(ctx, p_sText, p_bReplyExpected, p_iReplySize)) return false;
  ctx.link.EndBusy();
  return true;
}

}  // namespace dz
