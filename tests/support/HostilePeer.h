#pragma once
// A small misbehaving printer on 127.0.0.1 for the fault tests: it resets
// every connection as soon as it is accepted, never accepts one, or answers
// each command ("{...|}") with the bytes a function gives for it, and keeps
// every command it received.
#include <QByteArray>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <sys/socket.h>

class HostilePeer : public QObject {
 public:
  enum Mode { Answer, ResetOnAccept, NeverAccept };
  using Answerer = std::function<QByteArray(const QByteArray& p_sCommand)>;

  explicit HostilePeer(Mode p_eMode, Answerer p_fnAnswer = {}) : m_eMode(p_eMode), m_fnAnswer(std::move(p_fnAnswer)) {
    m_objServer.listen(QHostAddress(QHostAddress::LocalHost), 0);
    // Never accepting: the kernel completes the connection, no one reads.
    if (m_eMode == NeverAccept) m_objServer.pauseAccepting();
    connect(&m_objServer, &QTcpServer::newConnection, this, [this] { Accept(); });
  }
  QString Target() const { return QStringLiteral("127.0.0.1:%1").arg(m_objServer.serverPort()); }
  const QList<QByteArray>& Received() const { return m_objReceived; }

 private:
  void Accept() {
    while (QTcpSocket* socket = m_objServer.nextPendingConnection()) {
      socket->setParent(this);
      if (m_eMode == ResetOnAccept) {
        const linger reset{1, 0};  // close with RST, not FIN
        ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        socket->close();
        continue;
      }
      connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        QByteArray& pending = m_objPending[socket];
        pending += socket->readAll();
        qsizetype end;
        while ((end = pending.indexOf("|}")) >= 0) {
          const QByteArray command = pending.left(end + 2);
          pending.remove(0, end + 2);
          m_objReceived << command;
          if (m_fnAnswer) socket->write(m_fnAnswer(command));
        }
      });
    }
  }

  Mode m_eMode;
  Answerer m_fnAnswer;
  QTcpServer m_objServer;
  QList<QByteArray> m_objReceived;
  QHash<QTcpSocket*, QByteArray> m_objPending;
};
