#include "workbook/render/pageplan.h"

#include <algorithm>
#include <numeric>

namespace velmora {

namespace {

constexpr double kDpi = 96.0;
constexpr double kSmallestScale = 0.1;  // Excel's 10 %

// Runs of the range [first, last] that fit within their limit, starting a
// new run at every break (an index that begins a page). A size larger than
// its limit gets a run of its own (it is cut off on the page, never split).
template <typename Limit>
QList<std::pair<int, int>> runs(const QList<int>& sizes, int first, int last, Limit limitFor,
                                const std::vector<int>& breaks) {
    QList<std::pair<int, int>> all;
    int from = first;
    double used = 0;
    for (int i = first; i <= last; ++i) {
        const bool broken = std::binary_search(breaks.begin(), breaks.end(), i);
        if (i > from && (broken || used + sizes.value(i) > limitFor(from))) {
            all.append({from, i - 1});
            from = i;
            used = 0;
        }
        used += sizes.value(i);
    }
    all.append({from, last});
    return all;
}

int total(const QList<int>& sizes, std::optional<std::pair<int, int>> span) {
    if (!span)
        return 0;
    const int first = std::max(0, span->first);
    const int last = std::min(int(sizes.size()) - 1, span->second);
    return first > last ? 0 : std::accumulate(sizes.begin() + first, sizes.begin() + last + 1, 0);
}

std::vector<int> withTitles(std::optional<std::pair<int, int>> titles, int first, int last) {
    std::vector<int> out;
    if (titles && first > titles->second)
        for (int i = titles->first; i <= titles->second; ++i) out.push_back(i);
    for (int i = first; i <= last; ++i) out.push_back(i);
    return out;
}

}  // namespace

QPageSize paperOf(int code) {
    switch (code) {
        case 1:
            return QPageSize(QPageSize::Letter);
        case 5:
            return QPageSize(QPageSize::Legal);
        case 8:
            return QPageSize(QPageSize::A3);
        case 11:
            return QPageSize(QPageSize::A5);
        case 12:
            return QPageSize(QPageSize::B4);
        case 13:
            return QPageSize(QPageSize::B5);
        case 70:
            return QPageSize(QPageSize::A6);
        default:
            return QPageSize(QPageSize::A4);
    }
}

QSizeF paperPixels(const xls::PageSetup& setup) {
    const QSizeF inches = paperOf(setup.paper).size(QPageSize::Inch);
    const QSizeF px = inches * kDpi;
    return setup.landscape ? px.transposed() : px;
}

PagePlan planPages(const xls::PageSetup& setup, QSizeF paper, const SheetSizes& sizes,
                   CellRef first, CellRef last) {
    PagePlan plan;
    plan.cellArea = QSizeF(std::max(kDpi, paper.width() - (setup.left + setup.right) * kDpi),
                           std::max(kDpi, paper.height() - (setup.top + setup.bottom) * kDpi));
    if (first.row > last.row || first.column > last.column)
        return plan;
    const int titleHeight = total(sizes.rowHeights, setup.titleRows);
    const int titleWidth = total(sizes.columnWidths, setup.titleColumns);
    // Pages that begin after the title rows (columns) print them first:
    // less room for their own.
    const auto lay = [&](double scale) {
        const auto width = [&](int from) {
            const bool titled = setup.titleColumns && from > setup.titleColumns->second;
            return std::max(1.0, plan.cellArea.width() / scale - (titled ? titleWidth : 0));
        };
        const auto height = [&](int from) {
            const bool titled = setup.titleRows && from > setup.titleRows->second;
            return std::max(1.0, plan.cellArea.height() / scale - (titled ? titleHeight : 0));
        };
        return std::pair{
            runs(sizes.columnWidths, first.column, last.column, width, setup.columnBreaks),
            runs(sizes.rowHeights, first.row, last.row, height, setup.rowBreaks)};
    };
    double scale = setup.scale / 100.0;
    auto [across, down] = lay(scale);
    if (setup.fitToPages) {
        // Shrunk until the pages across and down are no more than asked
        // for (0: any number), never enlarged.
        scale = 1;
        std::tie(across, down) = lay(scale);
        const auto fits = [&] {
            return (setup.fitWidth == 0 || across.size() <= qsizetype(setup.fitWidth)) &&
                   (setup.fitHeight == 0 || down.size() <= qsizetype(setup.fitHeight));
        };
        while (!fits() && scale > kSmallestScale) {
            scale = std::max(kSmallestScale, scale * 0.97);
            std::tie(across, down) = lay(scale);
        }
    }
    plan.scale = scale;
    for (const auto& [left, right] : across)
        for (const auto& [top, bottom] : down)
            plan.pages.push_back({withTitles(setup.titleRows, top, bottom),
                                  withTitles(setup.titleColumns, left, right)});
    return plan;
}

}  // namespace velmora
