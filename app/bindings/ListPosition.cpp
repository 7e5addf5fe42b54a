#include "bindings/ListPosition.h"

#include <QComboBox>
#include <cmath>

namespace dz {

int ListPosition(const Value& value, const QComboBox& list) {
  double number = 0;
  if (!ValueToNumber(value, number)) return -1;
  if (number != std::floor(number) || number < 0 || number >= list.count()) return -1;
  return static_cast<int>(number);
}

}  // namespace dz
