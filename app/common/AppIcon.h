#pragma once
// The program's icon: a label printer with a label coming out of it, drawn
// at start-up in the sizes a window icon needs.
#include <QIcon>

namespace dz {

QIcon AppIcon();

}  // namespace dz
