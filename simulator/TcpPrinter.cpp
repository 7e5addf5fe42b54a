#include "TcpPrinter.h"

#include "ReplyPacer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

namespace dzsim {

namespace {
constexpr int kNeverReadRecheckMs = 100;
}  // namespace

// Per-connection state, a child of its socket so that both go together.
class TcpClient : public QObject {
 public:
  TcpClient(QTcpSocket* socket)
      : QObject(socket),
        pacer(
            [socket](const QByteArray& bytes) {
              if (socket->state() == QAbstractSocket::ConnectedState) socket->write(bytes);
            },
            [socket] {
              // Hand the half reply to the kernel, then close without
              // waiting for anything else.
              socket->flush();
              socket->abort();
            },
            this) {
    recheck.setSingleShot(true);
  }

  CommandFramer framer;
  ReplyPacer pacer;
  QTimer recheck;
};

TcpPrinter::TcpPrinter(PrinterModel& model, QObject* parent) : QObject(parent), m_model(model) {
  connect(&m_server, &QTcpServer::newConnection, this, &TcpPrinter::OnNewConnection);
}

TcpPrinter::~TcpPrinter() { Close(); }

bool TcpPrinter::Listen(quint16 port) {
  if (m_server.isListening()) m_server.close();
  return m_server.listen(QHostAddress::LocalHost, port);
}

bool TcpPrinter::Listen(quint16 port, const QHostAddress& address) {
  if (m_server.isListening()) m_server.close();
  if (!address.isInSubnet(QHostAddress(QStringLiteral("127.0.0.0")), 8)) return false;
  return m_server.listen(address, port);
}

quint16 TcpPrinter::Port() const { return m_server.serverPort(); }

void TcpPrinter::Close() {
  m_server.close();
  DisconnectClients();
}

void TcpPrinter::DisconnectClients() {
  const auto clients = m_clients;
  m_clients.clear();
  for (const QPointer<QTcpSocket>& socket : clients) {
    if (socket) {
      socket->disconnect(this);
      socket->abort();
      socket->deleteLater();
    }
  }
}

int TcpPrinter::ClientCount() const {
  int count = 0;
  for (const QPointer<QTcpSocket>& socket : m_clients)
    if (socket && socket->state() == QAbstractSocket::ConnectedState) ++count;
  return count;
}

void TcpPrinter::OnNewConnection() {
  while (QTcpSocket* socket = m_server.nextPendingConnection()) {
    auto* client = new TcpClient(socket);
    m_clients.removeAll(QPointer<QTcpSocket>());
    m_clients.append(socket);
    if (m_model.Mode() == Misbehaviour::NeverRead) socket->setReadBufferSize(1);

    connect(socket, &QTcpSocket::readyRead, this, [this, socket, client] { ReadClient(socket, client); });
    connect(&client->recheck, &QTimer::timeout, this, [this, socket, client] { ReadClient(socket, client); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
      m_clients.removeAll(socket);
      socket->deleteLater();
      emit clientDisconnected();
    });
    emit clientConnected();
    // Bytes may have arrived together with the connection.
    if (socket->bytesAvailable() > 0) ReadClient(socket, client);
  }
}

void TcpPrinter::ReadClient(QTcpSocket* socket, TcpClient* client) {
  if (m_model.Mode() == Misbehaviour::NeverRead) {
    // Leave the bytes where they are; look again later in case the mode
    // has been switched back.
    socket->setReadBufferSize(1);
    client->recheck.start(kNeverReadRecheckMs);
    return;
  }
  socket->setReadBufferSize(0);

  const QByteArray data = socket->readAll();
  const auto commands = client->framer.Push(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                            static_cast<std::size_t>(data.size()));
  for (const Bytes& command : commands) {
    const std::vector<Bytes> replies = m_model.Execute(command);
    emit commandReceived(
        QByteArray(reinterpret_cast<const char*>(command.data()), static_cast<qsizetype>(command.size())));
    for (const Bytes& reply : replies) {
      emit replyQueued(QByteArray(reinterpret_cast<const char*>(reply.data()), static_cast<qsizetype>(reply.size())));
      client->pacer.Queue(PlanReply(reply, m_model.GetBehaviour()));
    }
  }
}

}  // namespace dzsim
