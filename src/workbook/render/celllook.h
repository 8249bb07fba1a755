#pragma once

#include "workbook/cellvalue.h"
#include "workbook/render/cellstyle.h"

#include <QColor>
#include <QString>

namespace velmora {

// How one cell shows: its text through its number format, its format, the
// text colour (a format's [Red] before the font's) and where the text sits.
struct CellLook {
    QString text;
    const CellStyle* style = nullptr;
    QColor colour;  // invalid: the window's text colour
    Qt::Alignment alignment;
    CellValue::Kind kind = CellValue::Kind::Empty;
};

// The look of a value in a format; zeros false shows the number 0 as nothing
// (a sheet that hides its zero values).
CellLook lookOf(const CellValue& value, const CellStyle& style, bool zeros);

}  // namespace velmora
