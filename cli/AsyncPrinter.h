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

  CItemManager& Items() { return m_objItems; }
  // What went wrong.
  QString Error() const { return m_sError; }

 private:
  bool Fail(const QString& p_sWhat);
  // A failed reply's text, with the window's message where the link did not open.
  bool Fail(const dz::PrinterReply& p_objReply);

  Target m_objTarget;
  std::unique_ptr<dz::PrinterChannel> m_objChannel;
  CItemManager m_objItems;
  QString m_sError;
};
