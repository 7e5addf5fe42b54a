#include "ReadKind.h"
#include "StatusOperation.h"

#include <QLabel>

#include "CommandRunner.h"
#include "LinkDispatcher.h"
#include "PrinterSequences.h"
#include "Replies.h"

namespace dz {

bool RequestStatus(OperationContext& ctx) {
  ctx.lblStatus.setText(QString());
  ctx.link.BeginBusy();
  ctx.link.State().m_iReplyRecord = kReadStatus;
  bool replyExpected = true;
  if (!SendCommandText(ctx, StatusSequence().steps.front().command, replyExpected, kStatusReplyLength)) return false;
  ctx.link.EndBusy();
  return true;
}

}  // namespace dz
