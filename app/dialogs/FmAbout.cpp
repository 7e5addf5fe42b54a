#include "dialogs/FmAbout.h"

#include <QLabel>
#include <QPushButton>

#include "common/AppIcon.h"
#include "common/MessageBox.h"
#include "common/PageBuilder.h"
#include "common/Twips.h"

namespace dz {
namespace {

struct TextRow {
  QLabel* FmAbout::*label;
  const char* name;
  const char* caption;
  TwipsRect rect;
  double points;
};
const TextRow kTexts[] = {
    {&FmAbout::Label1, "Label1", "Version V002.003 (2.3.0)", {240, 240, 6000, 375}, 15.75},
    {&FmAbout::Label3, "Label3", "Thermal label printer service tool", {240, 960, 6000, 255}, 12},
    {&FmAbout::Label4, "Label4", "Copyright (C) Dazavu. All rights reserved.", {240, 1440, 6000, 255}, 12},
};

constexpr int kClientWidth = 7005;
constexpr int kClientHeight = 2715;

}  // namespace

const QString FmAbout::kVersionText = QStringLiteral("Version V002.003 (2.3.0)");

FmAbout::FmAbout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FmAbout"));
  setWindowTitle(kAppTitle);
  setWindowIcon(AppIcon());
  setFont(ArialFont(kWindowFontPoints));
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));

  for (const TextRow& row : kTexts) {
    QLabel* label = MakeLabel(this, QString::fromLatin1(row.name), QString::fromLatin1(row.caption), row.rect,
                              Qt::AlignLeft | Qt::AlignVCenter);
    label->setFont(ArialFont(row.points, true));
    this->*row.label = label;
  }

  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setFont(ArialFont(kWindowFontPoints));
  Place(btnOk, {2520, 2040, 1500, 495});
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace dz
