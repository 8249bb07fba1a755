#pragma once

#include <QString>

namespace velmora {

// Windows and workbooks ask for 宋体 by name. This maps "宋体" and "SimSun" to
// the Song faces a Linux desktop has (fontconfig alone would pick a Hei or a
// Latin face for them).
void installFontSubstitutions();

// The family to ask for when a cell's font is this family: a Song face with
// a bold of its own for bold 宋体 (the usual Song face has none, and a bold
// made up by slanting the strokes does not reach a printout).
QString fontFamily(const QString& family, bool bold);

}  // namespace velmora
