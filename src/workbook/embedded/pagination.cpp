#include "workbook/embedded/pagination.h"

namespace velmora {

QList<std::pair<int, int>> fitRuns(const QList<int>& sizes, int limit) {
    QList<std::pair<int, int>> runs;
    int first = 0;
    int used = 0;
    for (int i = 0; i < sizes.size(); ++i) {
        if (i > first && used + sizes[i] > limit) {
            runs.append({first, i - 1});
            first = i;
            used = 0;
        }
        used += sizes[i];
    }
    if (!sizes.isEmpty())
        runs.append({first, int(sizes.size()) - 1});
    return runs;
}

QList<PageRange> paginate(const QList<int>& columnWidths, const QList<int>& rowHeights,
                          QSize page) {
    QList<PageRange> pages;
    const auto rowRuns = fitRuns(rowHeights, page.height());
    for (const auto& [firstColumn, lastColumn] : fitRuns(columnWidths, page.width()))
        for (const auto& [firstRow, lastRow] : rowRuns)
            pages.append({firstRow, lastRow, firstColumn, lastColumn});
    return pages;
}

}  // namespace velmora
