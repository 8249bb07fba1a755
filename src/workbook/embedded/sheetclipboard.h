#pragma once

namespace velmora {

class SheetEdits;
class SheetView;

// Ctrl+C, Ctrl+X and Ctrl+V on the grid: the selected block goes to the
// clipboard as tab-separated text and an HTML table of the texts as shown
// (and, for pasting here, as typed, formulas included); a block on the
// clipboard lands cell by cell from the current cell, one step for the
// whole block. A copied formula's relative references move with it; a cut
// one keeps them, as the formula moves rather than repeats. Each throws
// HostError when refused, with nothing changed.
void copyCells(const SheetView& view);
void cutCells(SheetView& view, SheetEdits& edits);
void pasteCells(SheetView& view, SheetEdits& edits);

}  // namespace velmora
