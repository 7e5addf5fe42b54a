#pragma once
// A small HTTP/1.1 server for the exporter on QTcpServer: GET and HEAD, one
// request a connection (answered with "Connection: close"), the answer given
// whenever the handler is ready, on the same event loop as everything else.
// A request whose header is too large is answered 431, one that is not
// complete in time is dropped, and so is an answer the client does not take
// in time; none of it holds up any other connection.
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <functional>
#include <map>

class QTcpServer;

namespace exporter {

struct HttpRequest {
  QByteArray method;                         // "GET" or "HEAD"
  QByteArray path;                           // "/probe"
  QByteArray query;                          // "target=..." (still encoded)
  std::map<QByteArray, QByteArray> headers;  // names in lower case
  QHostAddress peer;
  QByteArray Header(const char* p_sName) const {
    const auto it = headers.find(QByteArray(p_sName));
    return it == headers.end() ? QByteArray() : it->second;
  }
};

struct HttpResponse {
  int status = 200;
  QByteArray contentType = "text/plain; charset=utf-8";
  QByteArray body;
};

using HttpRespond = std::function<void(const HttpResponse&)>;
// Called once a request; p_fnRespond may be called later, at most once. When
// the client has gone by then, the answer is dropped.
using HttpHandler = std::function<void(const HttpRequest&, HttpRespond)>;

struct HttpLimits {
  int headerBytes = 8192;        // request line and header fields together
  int requestTimeoutMs = 10000;  // for the client to send its request
  int writeTimeoutMs = 10000;    // for the client to take the answer
  int maxConnections = 4096;     // beyond: 503 at once
};

class HttpServer : public QObject {
  Q_OBJECT
 public:
  HttpServer(HttpHandler p_fnHandler, const HttpLimits& p_objLimits, QObject* p_pParent = nullptr);
  bool Listen(const QHostAddress& p_objAddress, quint16 p_iPort);
  QString ErrorString() const;
  QHostAddress Address() const;
  quint16 Port() const;
  int OpenConnections() const { return m_iConnections; }

 private:
  void OnNewConnection();

  HttpHandler m_fnHandler;
  HttpLimits m_objLimits;
  QTcpServer* m_pServer;
  int m_iConnections = 0;
};

// The reason phrase of a status code ("OK", "Bad Request", ...).
QByteArray ReasonPhrase(int p_iStatus);

}  // namespace exporter
