#pragma once

#include <QList>
#include <QSize>

namespace velmora {

// A page of a printed range: rows and columns first to last, inclusive.
struct PageRange {
    int firstRow = 0;
    int lastRow = 0;
    int firstColumn = 0;
    int lastColumn = 0;
    friend bool operator==(const PageRange&, const PageRange&) = default;
};

// Cuts consecutive sizes into runs that each fit within limit, as [first,
// last] index pairs. A single size larger than the limit gets a run of its
// own (it is cut off on the page, never split).
QList<std::pair<int, int>> fitRuns(const QList<int>& sizes, int limit);

// The pages of a range with these column widths and row heights on pages of
// this size (all in the same unit), in the order spreadsheet programs print
// them: down first, then over. An empty range has no page.
QList<PageRange> paginate(const QList<int>& columnWidths, const QList<int>& rowHeights, QSize page);

}  // namespace velmora
