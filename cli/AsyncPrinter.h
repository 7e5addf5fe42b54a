#pragma once
// One printer of a fleet run on the shared event loop: its channel and its
// catalogue. Every operation returns at once and calls back once, with the
// printer's answer checked as the fleet needs it (a status reply of the
// status table, records whose fields are values of their items).
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "CItemManager.h"
#include "PrinterChannel.h"
#include "PrinterSequences.h"
#include "Target.h"

class AsyncPrinter : public QObject {
  Q_OBJECT
 public:
  AsyncPrinter(const Target& p_objTarget, double p_dTimeoutSeconds, QObject* p_objParent = nullptr);

  using Done = std::function<void(bool p_bOk)>;
  // "{WS|}": the status text as the window's label shows it, and the code.
  void Status(std::function<void(bool p_bOk, const QString& p_sText, const QString& p_sCode)> p_fnDone);
  // Reads the records of the kinds into the catalogue.
  void ReadRecords(const std::vector<int>& p_objKinds, Done p_fnDone);
  // Sends the lines in order, each a command without a reply; stops at the
  // first that fails.
  void Send(const std::vector<std::string>& p_objLines, Done p_fnDone);
  // Runs a printer operation; stops at the first step that fails and says
  // which. p_sStatusText: the text of the last status reply it received.
  void Run(const PrinterSequence& p_objSequence,
           std::function<void(bool p_bOk, const QString& p_sStatusText)> p_fnDone);

  CItemManager& Items() { return m_objItems; }
  // What went wrong.
  QString Error() const { return m_sError; }

 private:
  bool Fail(const QString& p_sWhat);
  // A failed reply's text, with the window's message where the link did not
  // open, and the step that failed in an operation of several.
  bool Fail(const dz::PrinterReply& p_objReply, bool p_bNameStep = false);
  // False (and the error set) for a LAN target whose host did not resolve.
  bool Resolved();

  Target m_objTarget;
  std::unique_ptr<dz::PrinterChannel> m_objChannel;
  CItemManager m_objItems;
  QString m_sError;
};
