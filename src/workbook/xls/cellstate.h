#pragma once

#include <QString>

namespace velmora::xls {

// What a cell holds as far as changes go, to put it back exactly: as the
// file had it (whatever record that is: a formula, a rich text, a boolean),
// or the text, number, emptiness or formula stored since.
struct CellState {
    enum class Kind { AsLoaded, Text, Number, Cleared, Formula };  // Formula: text without '='
    Kind kind = Kind::AsLoaded;
    QString text;
    double number = 0;
    friend bool operator==(const CellState&, const CellState&) = default;
};

}  // namespace velmora::xls
