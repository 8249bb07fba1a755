#include "workbook/embedded/statusline.h"

#include "workbook/embedded/workbookdocument.h"
#include "workbook/formula/numberformat.h"

namespace velmora {

namespace {
// Larger selections are summed in one pass over the sheet's cells.
constexpr qint64 kCellByCell = 20000;
}  // namespace

SelectionSums sumSelection(const WorkbookDocument& document, int sheet,
                           const QList<QRect>& ranges) {
    SelectionSums sums;
    const CellRef end = document.book().lastCell(sheet);
    const QRect used(0, 0, end.column + 1, end.row + 1);
    qint64 area = 0;
    for (const QRect& r : ranges)
        area += qint64(r.intersected(used).width()) * r.intersected(used).height();
    const auto add = [&sums](const CellValue& v) {
        if (v.kind == CellValue::Kind::Number) {
            ++sums.count;
            sums.sum += v.number;
        }
    };
    if (area > kCellByCell) {
        document.book().forEachCell(sheet, [&](CellRef ref, const CellValue& v) {
            for (const QRect& r : ranges)
                if (r.contains(ref.column, ref.row))
                    add(v);
        });
        return sums;
    }
    for (const QRect& r : ranges) {
        const QRect part = r.intersected(used);
        for (int row = part.top(); row <= part.bottom(); ++row)
            for (int c = part.left(); c <= part.right(); ++c) add(document.read(sheet, {row, c}));
    }
    return sums;
}

QString summaryText(const SelectionSums& sums) {
    if (sums.count == 0)
        return QString();
    return QStringLiteral("平均值：%1    计数：%2    求和：%3")
        .arg(formula::generalText(sums.sum / sums.count))
        .arg(sums.count)
        .arg(formula::generalText(sums.sum));
}

}  // namespace velmora
