#pragma once

#include <QFont>

namespace velmora {

// Windows ask for 宋体 by name. This maps "宋体" and "SimSun" to the Song faces
// a Linux desktop has (fontconfig alone would pick a Hei or a Latin face).
void installFontSubstitutions();

// 宋体 at the given point size.
QFont songFont(double points, bool bold = false);

}  // namespace velmora
