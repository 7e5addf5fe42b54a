#include "PrinterReply.h"

#include "Replies.h"

namespace dz {

QString ReplyErrorName(ReplyError p_eError) {
  switch (p_eError) {
    case ReplyError::None:
      return QStringLiteral("ok");
    case ReplyError::OpenFailed:
      return QStringLiteral("open failed");
    case ReplyError::SendFailed:
      return QStringLiteral("send failed");
    case ReplyError::Timeout:
      return QStringLiteral("timeout");
    case ReplyError::ConnectionClosed:
      return QStringLiteral("connection closed");
    case ReplyError::Unreadable:
      return QStringLiteral("unreadable reply");
    case ReplyError::Cancelled:
      return QStringLiteral("cancelled");
  }
  return QString();
}

void PrinterReply::SetStatus(const Bytes& p_byReply) {
  m_byStatus = p_byReply;
  m_sStatusCode = StatusCodeOf(p_byReply);
  std::string message;
  int known = 0;
  GetStatusMessage(m_sStatusCode, message, known);
  m_bKnownStatus = known == 1;
  m_sStatusText = QString::fromLatin1(message.data(), static_cast<qsizetype>(message.size()));
}

void PrinterReply::Finish(ReplyError p_eError, const QString& p_sText) {
  if (m_bFinished) return;
  m_bFinished = true;
  m_eError = p_eError;
  m_sErrorText = p_sText;
  emit finished();
}

}  // namespace dz
