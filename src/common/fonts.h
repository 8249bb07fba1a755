#pragma once

#include "workbook/render/fontfaces.h"

#include <QFont>

namespace velmora {

// 宋体 at the given point size.
QFont songFont(double points, bool bold = false);

}  // namespace velmora
