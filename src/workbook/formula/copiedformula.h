#pragma once

#include <QString>

// A formula copied from one cell to another, as spreadsheet programs copy
// it: the relative parts of its references move by the distance between the
// cells, the absolute ($) parts stay. A reference moved off the sheet
// becomes #REF! (its sheet, if it named one, kept in front); whole columns
// keep their rows and whole rows their columns.
namespace velmora::formula {

// The formula text (without '=') as it reads `rows` down and `columns`
// right of where it was. Text that is no formula comes back as it is: the
// cell it goes into refuses it as typing it would.
QString copiedFormula(const QString& text, int rows, int columns);

}  // namespace velmora::formula
