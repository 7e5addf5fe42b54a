#pragma once
// One printer's conversation: its own catalogue, interface settings, link
// dispatcher and host, created and used on one thread. The operations send
// the same command bytes as the window's buttons and wait, sleeping in the
// event loop, until the reply has arrived or the time-out has passed.
#include <QAbstractSocket>
#include <QString>
#include <string>
#include <vector>

#include "CInterface.h"
#include "CItemManager.h"
#include "CliHost.h"
#include "LinkDispatcher.h"
#include "Target.h"

class PrinterSession {
 public:
  PrinterSession(const Target& p_objTarget, double p_dTimeoutSeconds);
  ~PrinterSession();
  PrinterSession(const PrinterSession&) = delete;
  PrinterSession& operator=(const PrinterSession&) = delete;

  bool Open();
  // "{WS|}": the status text as the window's label shows it, and the code.
  // A reply that is not 13 bytes from 0x01 with a code of the status table
  // fails as an unreadable reply.
  bool Status(QString& p_sText, QString& p_sCode);
  // Reads the records of the kinds into the catalogue, each waited for until
  // it has arrived whole. A record whose fields are not values of their items
  // fails as an unreadable reply (the catalogue is then not to be used).
  bool ReadRecords(const std::vector<int>& p_objKinds);
  // Sends a command that expects no reply.
  bool Send(const std::string& p_sCommand);
  // "{HD001,A|}": the head-check result text, its reply checked as Status's.
  bool HeadCheck(QString& p_sResult);
  // Waits, keeping the link's events flowing.
  void Wait(double p_dSeconds) { m_objLink.WaitSeconds(p_dSeconds); }

  CItemManager& Items() { return m_objItems; }
  // What went wrong, in the link's own words where it gave any.
  QString Error() const { return m_sError; }

 private:
  bool SendBytes(const std::string& p_sCommand, bool p_bReplyExpected, int p_iReplySize);
  // Records what went wrong, followed by the link's own texts; false.
  bool Fail(const QString& p_sWhat);
  // Whether the last status reply is one a printer sends (CheckStatusReply);
  // fails the printer otherwise.
  bool CheckedStatusReply();
  // Why no reply came: the connection's end, or the time-out.
  QString NoAnswer();
  int LinkIndex() const;

  Target m_objTarget;
  double m_dTimeout;
  CItemManager m_objItems;
  CInterface m_objInterface;
  CliHost m_objHost;
  LinkDispatcher m_objLink;
  bool m_bOpen = false;
  QAbstractSocket::SocketError m_eSocketError = QAbstractSocket::UnknownSocketError;
  QString m_sError;
};
