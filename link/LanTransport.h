#pragma once
// The TCP link: the program is the client of the printer's LAN interface.
// Commands go out as one block; each reply is routed by its first byte (SOH
// a status reply, "{" a record reply). After a socket error the link makes
// one silent reconnect; a second error shows the error's details.
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include "Commands.h"

class LinkDispatcher;

class LanTransport : public QObject {
  Q_OBJECT
 public:
  explicit LanTransport(LinkDispatcher& p_objLink);

  // Starts connecting to the printer's address and port from the interface
  // settings. A connection that neither succeeds nor fails within the
  // connect bound is given up as a socket error.
  void Connect();
  void SetConnectTimeoutMs(int p_iMilliseconds) { m_objConnectTimer.setInterval(p_iMilliseconds); }
  void Close();
  bool SendLan(const Bytes& p_byCommand, Bytes& p_byReply, QString& p_sErrorText, int32_t p_iReplySize);

  // Socket notifications.
  void OnLanConnect();
  void OnLanClose();
  void OnLanSendComplete();
  void OnLanDataArrival(qint64 p_iBytesTotal);
  // What a data notification does with the bytes it read: route a reply by
  // its first byte, joining a reply that arrives in pieces.
  void ReceiveLanData(const QByteArray& p_byData);
  void OnLanError(int p_iNumber, const QString& p_sDescription, qint32 p_iScode, const QString& p_sSource,
                  const QString& p_sHelpFile, qint32 p_iHelpContext, bool p_bCancelDisplay);

  // The message shown for a second socket error.
  static QString BuildErrorMessage(int p_iNumber, const QString& p_sDescription, qint32 p_iScode,
                                   const QString& p_sSource, const QString& p_sHelpFile, qint32 p_iHelpContext,
                                   bool p_bCancelDisplay);

  QTcpSocket& Socket() { return m_objSocket; }

 private:
  // Length of the reply that starts with this byte, 0 when it is not a reply.
  size_t ExpectedLength(uint8_t p_byFirst) const;

  LinkDispatcher& m_objLink;
  QTcpSocket m_objSocket;
  bool m_bAssembling = false;  // a reply's first part has arrived, the rest is awaited
  QTimer m_objConnectTimer;
};
