#pragma once
// The About box: the program's version and two notice lines, closed with OK.
#include <QDialog>

class QLabel;
class QPushButton;

namespace dz {

class FmAbout : public QDialog {
  Q_OBJECT

 public:
  static const QString kVersionText;

  explicit FmAbout(QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* btnOk = nullptr;
};

}  // namespace dz
