// The exporter's HTTP server in this process, with short limits: slow and
// vanished clients, too many connections, answers given later.
#include <gtest/gtest.h>

#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <memory>

#include "HttpServer.h"

using namespace exporter;

namespace {

struct Client {
  QTcpSocket socket;
  QByteArray received;
  bool closed = false;
  explicit Client(quint16 p_iPort, const QByteArray& p_byRequest) {
    QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, [this] { closed = true; });
    socket.connectToHost(QHostAddress::LocalHost, p_iPort);
    socket.write(p_byRequest);
  }
  bool WaitClosed(int p_iMs = 5000) {
    return QTest::qWaitFor([this] { return closed; }, p_iMs);
  }
};

class HttpServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HttpLimits limits;
    limits.headerBytes = 256;
    limits.requestTimeoutMs = 300;
    limits.writeTimeoutMs = 300;
    limits.maxConnections = 3;
    m_objServer = std::make_unique<HttpServer>(
        [this](const HttpRequest& request, HttpRespond respond) {
          ++m_iHandled;
          HttpResponse response;
          response.body = request.path + '?' + request.query + ' ' + request.Header("x-test");
          if (request.path == "/later")
            QTimer::singleShot(200, [this, respond, response] {
              respond(response);
              ++m_iLateAnswers;
            });
          else if (request.path != "/never")
            respond(response);
        },
        limits);
    ASSERT_TRUE(m_objServer->Listen(QHostAddress::LocalHost, 0));
  }
  quint16 Port() const { return m_objServer->Port(); }

  std::unique_ptr<HttpServer> m_objServer;
  int m_iHandled = 0;
  int m_iLateAnswers = 0;
};

}  // namespace

TEST_F(HttpServerTest, AnswersNowOrLaterAndHeadWithoutBody) {
  Client now(Port(), "GET /now?a=1 HTTP/1.1\r\nX-Test: yes\r\n\r\n");
  Client later(Port(), "GET /later HTTP/1.0\r\n\r\n");
  Client head(Port(), "HEAD /now HTTP/1.1\r\n\r\n");
  ASSERT_TRUE(now.WaitClosed());
  EXPECT_FALSE(later.closed);
  ASSERT_TRUE(later.WaitClosed());
  ASSERT_TRUE(head.WaitClosed());
  EXPECT_EQ(now.received.toStdString(),
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: 12\r\nConnection: "
            "close\r\n\r\n/now?a=1 yes");
  EXPECT_TRUE(later.received.endsWith("\r\n\r\n/later? "));
  EXPECT_TRUE(head.received.startsWith("HTTP/1.1 200 OK\r\n"));
  EXPECT_TRUE(head.received.contains("Content-Length: 6\r\n"));
  EXPECT_TRUE(head.received.endsWith("\r\n\r\n"));
}

TEST_F(HttpServerTest, ASlowClientIsDroppedWhileOthersAreServed) {
  Client slow(Port(), "GET /now HTTP/1.1\r\nX-Te");
  Client quick(Port(), "GET /now HTTP/1.1\r\n\r\n");
  ASSERT_TRUE(quick.WaitClosed());
  EXPECT_TRUE(quick.received.startsWith("HTTP/1.1 200"));
  EXPECT_FALSE(slow.closed);
  ASSERT_TRUE(slow.WaitClosed(3000));  // the request time-out
  EXPECT_TRUE(slow.received.isEmpty());
  EXPECT_EQ(m_iHandled, 1);
  EXPECT_TRUE(QTest::qWaitFor([this] { return m_objServer->OpenConnections() == 0; }, 2000));
}

TEST_F(HttpServerTest, OversizedHeadersAndTooManyConnectionsAreRefused) {
  Client big(Port(), "GET /now HTTP/1.1\r\nX-Fill: " + QByteArray(300, 'x') + "\r\n\r\n");
  ASSERT_TRUE(big.WaitClosed());
  EXPECT_TRUE(big.received.startsWith("HTTP/1.1 431 Request Header Fields Too Large\r\n"));
  // Three connections wait for answers that never come; a fourth is told so.
  std::vector<std::unique_ptr<Client>> held;
  for (int i = 0; i < 3; ++i) held.push_back(std::make_unique<Client>(Port(), "GET /never HTTP/1.1\r\n\r\n"));
  ASSERT_TRUE(QTest::qWaitFor([this] { return m_iHandled == 3; }, 3000));
  Client extra(Port(), "GET /now HTTP/1.1\r\n\r\n");
  ASSERT_TRUE(extra.WaitClosed());
  EXPECT_TRUE(extra.received.startsWith("HTTP/1.1 503 "));
  EXPECT_EQ(m_iHandled, 3);
  // Clients that go away free their place; their answers are dropped.
  held.clear();
  ASSERT_TRUE(QTest::qWaitFor([this] { return m_objServer->OpenConnections() == 0; }, 3000));
  Client again(Port(), "GET /later HTTP/1.1\r\n\r\n");
  ASSERT_TRUE(again.WaitClosed());
  EXPECT_TRUE(again.received.startsWith("HTTP/1.1 200 OK"));
}

TEST_F(HttpServerTest, AnAnswerForAClientThatLeftIsDropped) {
  {
    Client gone(Port(), "GET /later HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_iHandled == 1; }, 3000));
  }                                                                            // gone before the answer
  ASSERT_TRUE(QTest::qWaitFor([this] { return m_iLateAnswers == 1; }, 3000));  // and finds no one
  Client next(Port(), "GET /now HTTP/1.1\r\n\r\n");
  ASSERT_TRUE(next.WaitClosed());
  EXPECT_TRUE(next.received.startsWith("HTTP/1.1 200 OK"));
}
