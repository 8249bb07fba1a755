#pragma once

namespace velmora {

class SheetEdits;
class SheetView;

// Ctrl+C, Ctrl+X and Ctrl+V on the grid: the selected block goes to the
// clipboard as tab-separated text and an HTML table of the texts as shown
// (and, for pasting here, as typed); a block on the clipboard lands cell by
// cell from the current cell, one step for the whole block. Formulas are
// not copied as formulas yet: pasting a block that held some is refused.
// Each throws HostError when refused, with nothing changed.
void copyCells(const SheetView& view);
void cutCells(SheetView& view, SheetEdits& edits);
void pasteCells(SheetView& view, SheetEdits& edits);

}  // namespace velmora
