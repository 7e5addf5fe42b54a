#pragma once
// Values crossing the widget boundary: an item value as the QVariant a
// control takes, and a control's QVariant as an item value. Text is
// single-byte (Latin-1) on the item side.
#include <QVariant>

#include "CItem.h"

namespace dz {

// Empty gives an invalid QVariant, whole numbers int, doubles double, text a
// QString read as Latin-1.
QVariant ToVariant(const Value& value);
// int gives a whole number, double a double, a string its Latin-1 bytes; an
// invalid QVariant gives empty. Other types are taken as their text.
Value FromVariant(const QVariant& variant);
// The text of a control's QVariant ("-15" for the int -15, "1B" for "1B").
std::string VariantText(const QVariant& variant);

}  // namespace dz
