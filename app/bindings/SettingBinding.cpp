#include "bindings/SettingBinding.h"

#include <QComboBox>
#include <QLineEdit>
#include <QString>

#include "CItemManager.h"
#include "ShownSettings.h"
#include "bindings/ListPosition.h"
#include "bindings/ValueVariant.h"
#include "pages/PageControls.h"
#include "widgets/UCSpinEdit.h"

namespace dz {
namespace {

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

Value TextValue(const std::string& text) { return Value(text); }

// The widgets of the three control types a setting can have; a widget that
// is not of the type its setting's kind needs is left alone.
struct Widgets {
  explicit Widgets(QWidget* widget)
      : list(qobject_cast<QComboBox*>(widget)),
        spin(qobject_cast<UCSpinEdit*>(widget)),
        text(qobject_cast<QLineEdit*>(widget)) {}
  QComboBox* list;
  UCSpinEdit* spin;
  QLineEdit* text;
};

void Refresh(const Widgets& w, const ShownSetting& setting, CItemManager& items, bool defaults) {
  const Value value = (items.*setting.member).GetValue(defaults);
  switch (setting.kind) {
    case ShownKind::List:
    case ShownKind::FontCodeList:
      if (w.list) w.list->setCurrentIndex(ListPosition(value, *w.list));
      break;
    case ShownKind::Signed:
      if (w.spin && setting.direction)
        w.spin->SetValue(Latin1(ValueToText((items.*setting.direction).GetValue(defaults)) + ValueToText(value)));
      break;
    case ShownKind::Threshold:
      if (w.spin) w.spin->SetValue(Latin1(ValueToText(value)));
      break;
    case ShownKind::Hex:
    case ShownKind::Number:
      if (w.spin) w.spin->SetValue(ToVariant(value));
      break;
    case ShownKind::Text:
      if (w.text) w.text->setText(Latin1(ValueToText(value)));
      break;
    case ShownKind::Hidden:
      break;
  }
}

void Update(const Widgets& w, const ShownSetting& setting, CItemManager& items) {
  CItem& item = items.*setting.member;
  switch (setting.kind) {
    case ShownKind::List:
      if (w.list && w.list->currentIndex() >= 0) item.SetValue(static_cast<int32_t>(w.list->currentIndex()));
      break;
    case ShownKind::FontCodeList:
      if (w.list && w.list->currentIndex() >= 0)
        item.SetValue(TextValue(QString::number(w.list->currentIndex(), 16).toUpper().toStdString()));
      break;
    case ShownKind::Signed:
      if (w.spin && setting.direction) {
        const QVariant shown = w.spin->GetValue();
        (items.*setting.direction).SetValue(GetDirectionSign(TextValue(VariantText(shown))));
        item.SetValue(FromVariant(shown));
      }
      break;
    case ShownKind::Threshold:
      if (w.spin) item.SetValue(TextValue(VariantText(w.spin->GetValue())));
      break;
    case ShownKind::Hex:
    case ShownKind::Number:
      if (w.spin) item.SetValue(FromVariant(w.spin->GetValue()));
      break;
    case ShownKind::Text:
      // Stored as typed: no trimming, no removal of characters.
      if (w.text) item.SetValue(FromVariant(QVariant(w.text->text())));
      break;
    case ShownKind::Hidden:
      break;
  }
}

}  // namespace

std::string GetDirectionSign(const Value& p_vValue) {
  double number = 0;
  ValueToNumber(p_vValue, number);
  return number < 0 ? "-" : "+";
}

void RefreshSettingControls(const PageControls& p_objControls, CItemManager& p_objItems, bool p_bDefaultValue) {
  for (const PageControl& control : p_objControls.All())
    if (control.setting) Refresh(Widgets(control.widget), *control.setting, p_objItems, p_bDefaultValue);
}

void UpdateSettingItems(const PageControls& p_objControls, CItemManager& p_objItems) {
  for (const PageControl& control : p_objControls.All())
    if (control.setting) Update(Widgets(control.widget), *control.setting, p_objItems);
}

}  // namespace dz
