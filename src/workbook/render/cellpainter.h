#pragma once

#include "workbook/render/celllook.h"

#include <QFont>
#include <QRect>

class QPainter;

// Painting a cell the way spreadsheet programs do, for the sheet window's
// grid and for the print alike: its fill, its borders, its text.
namespace velmora {

// Between a cell's edges and its text.
inline constexpr int kCellTextMargin = 3;

void paintFill(QPainter* painter, const QRect& cell, const CellStyle& style);

// One side of a cell: solid lines are filled inside the cell's edge, so a
// thick line never reaches into the neighbour that paints after it.
void paintBorderSide(QPainter* painter, const xls::BorderLine& line, const QRect& cell,
                     Qt::Edge edge);
// Where two cells' borders meet, the heavier line shows.
const xls::BorderLine& heavierBorder(const xls::BorderLine& a, const xls::BorderLine& b);

// A text of one line, aligned left, that runs on over the empty cells to its
// right when it is too wide for its own.
bool runsOn(const CellLook& look);

// Where the text goes in the area it may use: inside the margins, indented.
QRect textArea(const QRect& area, const CellLook& look);

// How high a text wrapped the way paintText wraps it is at this width.
double wrappedHeight(const QFont& font, const QString& text, double width);

// The text laid out in area (the cell, or more for a text that runs on),
// showing only within cell: wrapped where the format wraps, a number too
// wide for its cell as ###.
void paintText(QPainter* painter, const QRect& area, const QRect& cell, const CellLook& look);

}  // namespace velmora
