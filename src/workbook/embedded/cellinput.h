#pragma once

#include "workbook/cellref.h"
#include "workbook/xls/cellstate.h"

#include <QString>

namespace velmora {

class WorkbookDocument;

// What typing into a cell means, and what the formula bar shows so that
// typing it again gives the same cell. The empty text empties the cell, a
// leading '=' makes a formula, a plain decimal number is a number, anything
// else text. A leading apostrophe keeps a text that would be taken
// otherwise ("'001" stays the text 001, "'=A1" the text =A1); before a text
// that is text anyway it is part of the text.
xls::CellState inputState(const QString& typed);

// The cell's content as typed: a formula with its '=', the raw text of a
// text (with the apostrophe it needs), a number in full, a date as yyyy-m-d.
QString inputText(const WorkbookDocument& document, int sheet, CellRef ref);

}  // namespace velmora
