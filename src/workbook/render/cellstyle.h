#pragma once

#include "workbook/formula/numberformat.h"
#include "workbook/xls/styles.h"

#include <QColor>
#include <QFont>
#include <QPen>
#include <memory>
#include <vector>

namespace velmora {

// A cell format of the file (an XF) as the grid paints it: font, colours,
// alignment, borders, fill and number format, made once per format.
struct CellStyle {
    QFont font;
    QColor text;  // invalid: the window's text colour
    QColor fill;  // invalid: no fill
    Qt::BrushStyle fillPattern = Qt::NoBrush;
    QColor fillBack;  // behind a patterned fill
    xls::HAlign horizontal = xls::HAlign::General;
    Qt::Alignment vertical = Qt::AlignBottom;
    bool wrap = false;
    int indentPx = 0;
    xls::BorderLine left, right, top, bottom;
    formula::NumberFormat format;
};

// The line a border style draws: width 0 for none.
QPen borderPen(const xls::BorderLine& line);
// How much a border weighs where two cells' borders meet: the heavier shows.
int borderWeight(const xls::BorderLine& line);

// The grid's formats, made from the workbook's when first used.
class CellStyles {
public:
    explicit CellStyles(const xls::WorkbookStyles& styles) : styles_(styles) {}
    const CellStyle& at(int xf) const;

private:
    const xls::WorkbookStyles& styles_;
    mutable std::vector<std::unique_ptr<CellStyle>> made_;
};

}  // namespace velmora
