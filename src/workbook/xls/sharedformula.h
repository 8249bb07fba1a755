#pragma once

#include <QByteArray>
#include <optional>

// A shared formula is stored once (SHRFMLA, after the FORMULA record of its
// first cell) and referred to from the FORMULA record of every cell using it.
// When that first cell is overwritten, each other cell gets the formula
// written out for itself, so that no formula is lost.
namespace velmora::xls {

// The FORMULA record (header included) for the cell at row/column with the
// shared formula's tokens, keeping the cell's format, cached result and
// flags; nullopt when the tokens hold something that cannot be written out.
std::optional<QByteArray> ownFormula(const char* formula, int formulaSize, const char* shared,
                                     int sharedSize);

// True when the FORMULA body refers to the shared formula anchored at row/column.
bool usesSharedFormula(const char* formula, int formulaSize, int row, int column);

}  // namespace velmora::xls
