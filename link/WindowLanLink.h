#pragma once
// The window's TCP link on a LAN byte pipe: the program is the client of
// the printer's LAN interface. Commands go out as one block and the send
// waits for the pipe to report the bytes taken; each reply is routed by its
// first byte (SOH a status reply, "{" a record reply), joined when it
// arrives in pieces, and the receive path lets go of the command buttons
// after each reply. After a socket error the link makes one silent
// reconnect; a second error shows the error's details. The printer closing
// the connection in an orderly way just closes the link.
#include <QObject>
#include <QTimer>

#include "Commands.h"
#include "ITransport.h"
#include "LanPipe.h"
#include "ReplyFramer.h"

class WindowLanLink : public QObject, public ITransport {
  Q_OBJECT
 public:
  explicit WindowLanLink(LinkContext& p_objLink);
  ~WindowLanLink() override;

  // ITransport. Open connects and waits, without a bound of its own, until
  // the pipe reports the connection or an error (the connect bound below
  // turns an unanswered connect into an error).
  bool Open() override;
  bool Close() override;
  bool IsOpen() const override { return m_objPipe.IsOpen(); }
  bool Send(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t& p_iReceivedCount,
            int32_t p_iReplySize) override;
  // A reply still waiting for its last framing bytes is decoded when it
  // already carries every field (a status reply its code).
  void ReplyWaitEnded() override { SettlePendingReply(); }

  // Starts connecting to the printer's address and port from the interface
  // settings. A connection that neither succeeds nor fails within the
  // connect bound is given up as a socket error.
  void Connect();
  void SetConnectTimeoutMs(int p_iMilliseconds) { m_objConnectTimer.setInterval(p_iMilliseconds); }
  bool SendLan(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t p_iReplySize);

  // What the pipe reports.
  void OnLanConnect();
  void OnLanClose();
  void OnLanSendComplete();
  // What a data notification does with the bytes: route a reply by its
  // first byte, joining a reply that arrives in pieces.
  void ReceiveLanData(const QByteArray& p_byData);
  void OnLanError(int p_iNumber, const QString& p_sDescription, qint32 p_iScode, const QString& p_sSource,
                  const QString& p_sHelpFile, qint32 p_iHelpContext, bool p_bCancelDisplay);

  // The message shown for a second socket error.
  static QString BuildErrorMessage(int p_iNumber, const QString& p_sDescription, qint32 p_iScode,
                                   const QString& p_sSource, const QString& p_sHelpFile, qint32 p_iHelpContext,
                                   bool p_bCancelDisplay);

  dz::LanPipe& Pipe() { return m_objPipe; }

 private:
  void SettlePendingReply();
  // Decodes a reply that is whole or holds every field; false when it was a
  // record that could not be stored.
  bool RouteReply(const Bytes& p_byReply, bool& p_bDecodeFailed);
  void EndBusyAfterReply(bool p_bDecodeFailed);

  LinkContext& m_objLink;
  dz::LanPipe m_objPipe{QString(), 0};
  ReplyFramer m_objFramer{FramingRule::Lan};  // joins a reply that arrives in pieces
  QTimer m_objConnectTimer;
  QTimer m_objSettleTimer;  // settles a reply whose last bytes never come
};
