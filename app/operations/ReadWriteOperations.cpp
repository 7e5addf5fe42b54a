#include "ReadWriteOperations.h"

#include <QCoreApplication>

#include "CItemManager.h"
#include "CommandRunner.h"
#include "Commands.h"
#include "LinkDispatcher.h"
#include "PrinterSequences.h"
#include "ReadKind.h"
#include "Replies.h"
#include "bindings/LanBinding.h"
#include "bindings/ParameterBinding.h"
#include "common/MessageBox.h"

namespace dz {

namespace {
constexpr int kLanReadKind = kReadLan;
}  // namespace

QString HostNameCharacterMessage(QChar p_cCharacter, bool p_bSaving) {
  if (p_cCharacter.unicode() <= 0xFF)
    return QStringLiteral(
               "The DHCP host name contains the character \"%1\", which would end the DHCP command. "
               "Change the host name; nothing was %2.")
        .arg(p_cCharacter)
        .arg(p_bSaving ? QStringLiteral("saved") : QStringLiteral("sent"));
  return QStringLiteral(
             "The DHCP host name contains the character \"%1\" (U+%2), which has no single-byte code. "
             "Change the host name; nothing was %3.")
      .arg(p_cCharacter)
      .arg(p_cCharacter.unicode(), 4, 16, QChar('0'))
      .arg(p_bSaving ? QStringLiteral("saved") : QStringLiteral("sent"));
}

bool ReadRecord(OperationContext& ctx, int p_iKind) {
  const std::string text = BuildReadRecordCommand(p_iKind);
  if (text.empty()) return false;
  const int length = GetReplyLength(p_iKind);
  if (length < 0) return false;
  bool replyExpected = true;
  ctx.link.State().m_bReplyExpected = true;
  return SendCommandText(ctx, text, replyExpected, length);
}

void ReadParameters(OperationContext& ctx) {
  LinkDispatcher& link = ctx.link;
  link.BeginBusy();
  link.State().m_bReadInProgress = true;
  bool complete = true;
  for (const SequenceStep& step : ReadSequence(kParameterReadKinds).steps) {
    const int kind = step.readKind;
    link.State().m_iReplyRecord = static_cast<int16_t>(kind);
    if (!ReadRecord(ctx, kind)) {
      complete = false;
      break;
    }
    // The reply is stored by the link's receive path during this second.
    link.WaitSeconds(1);
    link.ProcessEvents();
  }
  if (complete) {
    link.State().m_bReadInProgress = false;
    if (RefreshParameterSettingItem(ctx.parameterPage, ctx.items, false)) {
      link.EndBusy();
      return;
    }
    ShowMessage(QStringLiteral("Error RefreshParameterSettingItem"), MsgOkOnly, kAppTitle);
  }
  link.State().m_bReadInProgress = false;
  link.EndBusy();
}

void WriteParameters(OperationContext& ctx) {
  if (!UpdateParameterSettingItem(ctx.parameterPage, ctx.items)) return;
  ctx.link.BeginBusy();
  for (const SequenceStep& step : WriteParameterSequence(ctx.items).steps) {
    bool replyExpected = false;
    if (!SendCommandText(ctx, step.command, replyExpected)) return;
  }
  ctx.link.EndBusy();
}

void ReadLanSettings(OperationContext& ctx) {
  LinkDispatcher& link = ctx.link;
  link.BeginBusy();
  link.State().m_bReadInProgress = true;
  link.State().m_iReplyRecord = kLanReadKind;
  if (!ReadRecord(ctx, kLanReadKind)) {
    link.State().m_bReadInProgress = false;
    link.EndBusy();
    return;
  }
  link.WaitSeconds(1);
  link.ProcessEvents();
  RefreshLanSettingItem(ctx.extraPage, ctx.items, false);
  link.State().m_bReadInProgress = false;
  link.EndBusy();
}

void WriteLanSettings(OperationContext& ctx) {
  QChar bad;
  if (!UpdateLanSettingItem(ctx.extraPage, ctx.items, &bad)) {
    if (!bad.isNull()) ShowMessage(HostNameCharacterMessage(bad, false), MsgExclamation, kAppTitle);
    return;
  }
  // All five commands are built before the first goes out.
  for (const SequenceStep& step : WriteLanSequence(ctx.items).steps) {
    bool replyExpected = false;
    if (!SendCommandText(ctx, step.command, replyExpected)) return;
  }
  ctx.link.EndBusy();
}

}  // namespace dz
