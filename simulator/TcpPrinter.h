// The printer's LAN interface: a TCP server on 127.0.0.1 that feeds what its
// clients send to a PrinterModel and writes the replies back, honouring the
// model's timing and connection modes.
#pragma once

#include "PrinterModel.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace dzsim {

class TcpClient;

class TcpPrinter : public QObject {
  Q_OBJECT
 public:
  // The model is shared, not owned: it must outlive the printer.
  explicit TcpPrinter(PrinterModel& model, QObject* parent = nullptr);
  ~TcpPrinter() override;

  // Listens on 127.0.0.1; port 0 picks a free port (see Port()).
  bool Listen(quint16 port = 0);
  // Listens on a loopback address (127.0.0.0/8 only; any other is refused).
  bool Listen(quint16 port, const QHostAddress& address);
  QHostAddress Address() const { return m_server.serverAddress(); }
  quint16 Port() const;
  bool IsListening() const { return m_server.isListening(); }
  QString ErrorString() const { return m_server.errorString(); }

  // Stops listening and drops every client.
  void Close();
  // Drops every client, keeps listening.
  void DisconnectClients();
  int ClientCount() const;

  PrinterModel& Model() { return m_model; }

 signals:
  void clientConnected();
  void clientDisconnected();
  void commandReceived(const QByteArray& command);
  void replyQueued(const QByteArray& reply);

 private:
  void OnNewConnection();
  void ReadClient(QTcpSocket* socket, TcpClient* client);

  PrinterModel& m_model;
  QTcpServer m_server;
  QList<QPointer<QTcpSocket>> m_clients;
};

}  // namespace dzsim
