#include "HttpServer.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace exporter {

namespace {

// Accepts connections as unbuffered sockets: a request and its answer are a
// few kilobytes, and a buffered socket would keep a read and a write block of
// 16 KiB each for every scrape that waits for its printer.
class UnbufferedTcpServer : public QTcpServer {
 public:
  using QTcpServer::QTcpServer;

 protected:
  void incomingConnection(qintptr p_iDescriptor) override {
    auto* socket = new QTcpSocket(this);
    if (socket->setSocketDescriptor(p_iDescriptor, QAbstractSocket::ConnectedState,
                                    QIODevice::ReadWrite | QIODevice::Unbuffered))
      addPendingConnection(socket);
    else
      delete socket;  // it closes the descriptor it was given
  }
};

// One client connection: reads one request, hands it on, writes the answer,
// closes. Deletes itself when the connection ends.
class HttpConnection : public QObject {
 public:
  HttpConnection(QTcpSocket* p_pSocket, const HttpHandler& p_fnHandler, const HttpLimits& p_objLimits,
                 std::function<void()> p_fnGone)
      : m_pSocket(p_pSocket), m_fnHandler(p_fnHandler), m_objLimits(p_objLimits), m_fnGone(std::move(p_fnGone)) {
    m_pSocket->setParent(this);
    m_objTimer.setSingleShot(true);
    connect(&m_objTimer, &QTimer::timeout, this, [this] {
      m_pSocket->abort();
      Close();
    });
    connect(m_pSocket, &QTcpSocket::readyRead, this, [this] { OnData(); });
    connect(m_pSocket, &QTcpSocket::disconnected, this, [this] { Close(); });
    connect(m_pSocket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError p_eError) {
      if (p_eError != QAbstractSocket::RemoteHostClosedError || !m_bResponding) Close();
    });
    connect(m_pSocket, &QTcpSocket::bytesWritten, this, [this] {
      if (m_bResponding && m_pSocket->bytesToWrite() == 0) m_pSocket->disconnectFromHost();
    });
    m_objTimer.start(m_objLimits.requestTimeoutMs);
  }
  ~HttpConnection() override { m_fnGone(); }

  // Answers at once, without handing the request on.
  void Respond(const HttpResponse& p_objResponse) {
    if (m_bResponding || m_bClosed) return;
    m_bResponding = true;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(p_objResponse.status) + ' ' +
                      ReasonPhrase(p_objResponse.status) + "\r\nContent-Type: " + p_objResponse.contentType +
                      "\r\nContent-Length: " + QByteArray::number(p_objResponse.body.size()) +
                      "\r\nConnection: close\r\n\r\n";
    m_pSocket->write(head);
    if (m_objRequest.method != "HEAD") m_pSocket->write(p_objResponse.body);
    m_objTimer.start(m_objLimits.writeTimeoutMs);
  }

 private:
  void OnData() {
    if (m_bRequestRead) {
      m_pSocket->readAll();  // a body or a pipelined request: not read
      return;
    }
    m_objBuffer += m_pSocket->read(m_objLimits.headerBytes + 4 - m_objBuffer.size());
    const qsizetype end = m_objBuffer.indexOf("\r\n\r\n");
    if (end < 0) {
      if (m_objBuffer.size() > m_objLimits.headerBytes) Refuse(431);
      return;
    }
    if (end > m_objLimits.headerBytes) return Refuse(431);
    m_bRequestRead = true;
    m_objTimer.stop();
    const int status = Parse(m_objBuffer.left(end));
    m_objBuffer.clear();
    if (status != 200) return Refuse(status);
    QPointer<HttpConnection> self(this);
    m_fnHandler(m_objRequest, [self](const HttpResponse& p_objResponse) {
      if (self) self->Respond(p_objResponse);
    });
  }

  // Request line and header fields; 200 when they are well formed.
  int Parse(const QByteArray& p_byHead) {
    const QList<QByteArray> lines = p_byHead.split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[1].startsWith('/')) return 400;
    if (requestLine[2] != "HTTP/1.1" && requestLine[2] != "HTTP/1.0") return 505;
    m_objRequest.method = requestLine[0];
    const QByteArray& target = requestLine[1];
    const qsizetype question = target.indexOf('?');
    m_objRequest.path = question < 0 ? target : target.left(question);
    m_objRequest.query = question < 0 ? QByteArray() : target.mid(question + 1);
    m_objRequest.peer = m_pSocket->peerAddress();
    for (qsizetype i = 1; i < lines.size(); ++i) {
      const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
      const qsizetype colon = line.indexOf(':');
      if (colon <= 0 || line.left(colon).contains(' ')) return 400;
      m_objRequest.headers[line.left(colon).toLower()] = line.mid(colon + 1).trimmed();
    }
    if (m_objRequest.method != "GET" && m_objRequest.method != "HEAD") return 405;
    return 200;
  }

  void Refuse(int p_iStatus) {
    m_bRequestRead = true;
    HttpResponse response;
    response.status = p_iStatus;
    response.body = ReasonPhrase(p_iStatus) + '\n';
    Respond(response);
  }

  void Close() {
    if (m_bClosed) return;
    m_bClosed = true;
    m_objTimer.stop();
    deleteLater();
  }

  QTcpSocket* m_pSocket;
  const HttpHandler& m_fnHandler;
  const HttpLimits& m_objLimits;
  std::function<void()> m_fnGone;
  QTimer m_objTimer;
  QByteArray m_objBuffer;
  HttpRequest m_objRequest;
  bool m_bRequestRead = false;
  bool m_bResponding = false;
  bool m_bClosed = false;
};

}  // namespace

HttpServer::HttpServer(HttpHandler p_fnHandler, const HttpLimits& p_objLimits, QObject* p_pParent)
    : QObject(p_pParent),
      m_fnHandler(std::move(p_fnHandler)),
      m_objLimits(p_objLimits),
      m_pServer(new UnbufferedTcpServer(this)) {
  // A scrape of a whole fleet arrives at once: a short accept queue would
  // drop connections, which clients retry only after a second.
  m_pServer->setMaxPendingConnections(4096);
  m_pServer->setListenBacklogSize(4096);
  connect(m_pServer, &QTcpServer::newConnection, this, &HttpServer::OnNewConnection);
}

bool HttpServer::Listen(const QHostAddress& p_objAddress, quint16 p_iPort) {
  return m_pServer->listen(p_objAddress, p_iPort);
}

QString HttpServer::ErrorString() const { return m_pServer->errorString(); }
QHostAddress HttpServer::Address() const { return m_pServer->serverAddress(); }
quint16 HttpServer::Port() const { return m_pServer->serverPort(); }

void HttpServer::OnNewConnection() {
  while (QTcpSocket* socket = m_pServer->nextPendingConnection()) {
    ++m_iConnections;
    QPointer<HttpServer> self(this);
    auto* connection = new HttpConnection(socket, m_fnHandler, m_objLimits, [self] {
      if (self) --self->m_iConnections;
    });
    connection->setParent(this);
    if (m_iConnections > m_objLimits.maxConnections) {
      HttpResponse busy;
      busy.status = 503;
      busy.body = "Too many connections\n";
      connection->Respond(busy);
    }
  }
}

QByteArray ReasonPhrase(int p_iStatus) {
  switch (p_iStatus) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 431:
      return "Request Header Fields Too Large";
    case 503:
      return "Service Unavailable";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Error";
  }
}

}  // namespace exporter
