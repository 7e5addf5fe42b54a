#pragma once
// Connects the window's command buttons to the printer operations.
#include <QObject>

#include "OperationContext.h"

class QPushButton;

namespace dz {

class PrinterOperations : public QObject {
  Q_OBJECT
 public:
  // btnGetStatus sits on the window itself; every other button on its page.
  PrinterOperations(const OperationContext& p_objContext, QPushButton& p_objGetStatus, QObject* p_objParent);

  OperationContext& Context() { return m_objContext; }

 private:
  OperationContext m_objContext;
};

}  // namespace dz
