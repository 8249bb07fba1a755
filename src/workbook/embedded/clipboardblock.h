#pragma once

#include "workbook/cellref.h"

#include <QStringList>
#include <optional>

class QMimeData;

namespace velmora {

// A block of cells on the clipboard, row by row, as spreadsheet programs
// exchange it: tab-separated text (a cell holding a tab, a line break or a
// leading quote is quoted, quotes doubled) and an HTML table. Blocks copied
// here also carry the cells as typed, so that pasting them here again gives
// the same cells (a text 001 stays a text).
using CellBlock = QList<QStringList>;

QString blockToTsv(const CellBlock& block);
CellBlock blockFromTsv(const QString& text);
QString blockToHtml(const CellBlock& block);
// The first table of an HTML text (spanned cells take their top-left
// place); nullopt when it holds none.
std::optional<CellBlock> blockFromHtml(const QString& html);

// shown: the cells' texts as the grid shows them (what other programs
// take); typed: as typed, formulas with their '='; origin: the top-left cell
// the block was copied from, so that pasting moves the formulas' relative
// references (none for a cut: the formulas keep their references).
QMimeData* blockMimeData(const CellBlock& shown, const CellBlock& typed,
                         std::optional<CellRef> origin);

struct PasteBlock {
    CellBlock cells;                // as typed
    std::optional<CellRef> origin;  // where a block copied here came from
};
// The block to paste: this program's own, else an HTML table, else
// tab-separated text. Empty when the clipboard holds no text.
PasteBlock blockToPaste(const QMimeData& data);

}  // namespace velmora
