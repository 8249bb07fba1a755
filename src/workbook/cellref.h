#pragma once

#include <QString>
#include <optional>

namespace velmora {

// A cell position inside a sheet, 0-based. An .xls sheet has 65536 rows and
// 256 columns (A to IV); nothing outside them is a cell.
struct CellRef {
    int row = 0;
    int column = 0;

    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;

    friend bool operator==(const CellRef&, const CellRef&) = default;
    friend auto operator<=>(const CellRef&, const CellRef&) = default;
};

// "C6", "c6", "AV12": column letters (any case) then the row in decimal,
// nothing else. Anything that names no cell of an .xls sheet gives nullopt.
std::optional<CellRef> parseA1(QStringView address);

// 0 -> "A", 25 -> "Z", 26 -> "AA".
QString columnName(int column);
// "A" -> 0, "av" -> 47; nullopt for anything that is not 1 to 3 letters.
std::optional<int> columnIndex(QStringView letters);

// The A1 text of a cell: column letters upper case, row 1-based.
QString a1(CellRef ref);

}  // namespace velmora
