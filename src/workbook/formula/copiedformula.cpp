#include "workbook/formula/copiedformula.h"

#include "workbook/cellref.h"
#include "workbook/formula/links.h"
#include "workbook/formula/parser.h"

#include <algorithm>

namespace velmora::formula {

namespace {

// One end moved; false when it leaves the sheet.
bool move(RefEnd& end, int rows, int columns, bool moveRow, bool moveColumn) {
    if (moveRow && end.rowRelative)
        end.row += rows;
    if (moveColumn && end.columnRelative)
        end.column += columns;
    return end.row >= 0 && end.row <= kMaxRow && end.column >= 0 && end.column <= kMaxColumn;
}

QString columnPart(const RefEnd& e) {
    return (e.columnRelative ? QString() : QStringLiteral("$")) + columnName(e.column);
}

QString rowPart(const RefEnd& e) {
    return (e.rowRelative ? QString() : QStringLiteral("$")) + QString::number(e.row + 1);
}

// The reference text (no sheet) at its new place. Whole columns ("A:C")
// are written without digits and whole rows ("1:3") without letters.
QString moved(QStringView text, RefEnd first, RefEnd last, bool area, int rows, int columns) {
    const bool columnsOnly = std::none_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    const bool rowsOnly = std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
    const bool moveRows = !columnsOnly, moveColumns = !rowsOnly;
    if (!move(first, rows, columns, moveRows, moveColumns) ||
        !move(last, rows, columns, moveRows, moveColumns))
        return QStringLiteral("#REF!");
    if (columnsOnly)
        return columnPart(first) + u':' + columnPart(last);
    if (rowsOnly)
        return rowPart(first) + u':' + rowPart(last);
    const QString from = columnPart(first) + rowPart(first);
    return area ? from + u':' + columnPart(last) + rowPart(last) : from;
}

}  // namespace

QString copiedFormula(const QString& text, int rows, int columns) {
    if (rows == 0 && columns == 0)
        return text;
    ParsedFormula parsed;
    try {
        parsed = parseFormula(text);
    } catch (const FormulaError&) {
        return text;
    }
    std::vector<int> starts;
    for (const Node& n : parsed.nodes)
        if (n.kind == Node::Kind::Reference)
            starts.push_back(n.position);
    std::sort(starts.begin(), starts.end());
    QString out;
    qsizetype done = 0;
    for (const int start : starts) {
        // The parser read a reference here: read it again for its extent.
        QString sheet, lastSheet;
        RefEnd first, last;
        bool area = false;
        const qsizetype at = start + readSheetPrefix(text, start, sheet, lastSheet);
        const qsizetype length = readArea(text, at, first, last, area);
        out += QStringView(text).mid(done, at - done);
        out += moved(QStringView(text).mid(at, length), first, last, area, rows, columns);
        done = at + length;
    }
    out += QStringView(text).mid(done);
    return out;
}

}  // namespace velmora::formula
