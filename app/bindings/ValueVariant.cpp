#include "bindings/ValueVariant.h"

namespace dz {

QVariant ToVariant(const Value& value) {
  if (const auto* i = std::get_if<int32_t>(&value)) return QVariant(static_cast<int>(*i));
  if (const auto* d = std::get_if<double>(&value)) return QVariant(*d);
  if (const auto* s = std::get_if<std::string>(&value))
    return QVariant(QString::fromLatin1(s->data(), static_cast<qsizetype>(s->size())));
  return QVariant();
}

Value FromVariant(const QVariant& variant) {
  switch (variant.typeId()) {
    case QMetaType::UnknownType:
      return Value();
    case QMetaType::Int:
      return Value(static_cast<int32_t>(variant.toInt()));
    case QMetaType::Double:
      return Value(variant.toDouble());
    default: {
      const QByteArray bytes = variant.toString().toLatin1();
      return Value(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
    }
  }
}

std::string VariantText(const QVariant& variant) { return ValueToText(FromVariant(variant)); }

}  // namespace dz
