#include "description.h"

#include "workbook/cellref.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace velmora::maketemplate {

namespace {

using xls::SheetLayout;

// "12" or "3:5" (1-based, inclusive) as 0-based first and last.
std::pair<int, int> rowSpan(const QString& text) {
    const QStringList parts = text.split(u':');
    bool ok1 = false, ok2 = true;
    const int first = parts.value(0).toInt(&ok1);
    const int last = parts.size() == 2 ? parts[1].toInt(&ok2) : first;
    if (parts.size() > 2 || !ok1 || !ok2 || first < 1 || last < first || last > CellRef::kMaxRows)
        throw DescriptionError(QStringLiteral("bad rows \"%1\"").arg(text));
    return {first - 1, last - 1};
}

std::pair<int, int> columnSpan(const QString& text) {
    const QStringList parts = text.split(u':');
    const auto first = columnIndex(parts.value(0));
    const auto last = parts.size() == 2 ? columnIndex(parts[1]) : first;
    if (parts.size() > 2 || !first || !last || *last < *first)
        throw DescriptionError(QStringLiteral("bad columns \"%1\"").arg(text));
    return {*first, *last};
}

// {r} is the row, {r-1} and {r+2} rows above and below it, {n} the row's
// place in the series (1 for its first row).
QString expand(QString text, int row, int place) {
    static const QRegularExpression field(QStringLiteral("\\{(r|n)([+-]\\d+)?\\}"));
    QString out;
    qsizetype done = 0;
    for (auto it = field.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const int base = m.captured(1) == u"r" ? row : place;
        out += text.mid(done, m.capturedStart() - done) +
               QString::number(base + m.captured(2).toInt());
        done = m.capturedEnd();
    }
    return out + text.mid(done);
}

void readPage(const QJsonObject& page, xls::PageSetup& p) {
    for (auto it = page.begin(); it != page.end(); ++it) {
        const QString& key = it.key();
        const QJsonValue& v = it.value();
        if (key == u"orientation") {
            p.landscape = v.toString() == u"landscape";
        } else if (key == u"margins") {  // inches: left, right, top, bottom, header, footer
            const QJsonArray m = v.toArray();
            if (m.size() != 6)
                throw DescriptionError(QStringLiteral("margins: six numbers"));
            double* fields[] = {&p.left, &p.right, &p.top, &p.bottom, &p.header, &p.footer};
            for (int i = 0; i < 6; ++i) *fields[i] = m[i].toDouble();
        } else if (key == u"fit") {  // pages across, pages down (0: any)
            p.fitToPages = true;
            p.fitWidth = v.toArray().at(0).toInt();
            p.fitHeight = v.toArray().at(1).toInt();
        } else if (key == u"printArea") {
            const Range r = parseRange(v.toString());
            p.printArea = {r.first, r.last};
        } else if (key == u"titleRows") {
            p.titleRows = rowSpan(v.toString());
        } else if (key == u"titleColumns") {
            p.titleColumns = columnSpan(v.toString());
        } else if (key == u"header") {
            p.headerText = v.toString();
        } else if (key == u"footer") {
            p.footerText = v.toString();
        } else if (key == u"centre") {
            p.centreHorizontally = true;
            p.centreVertically = v.toString() == u"both";
        } else if (key == u"rowBreaks") {  // rows (1-based) that begin a page
            for (const QJsonValue& row : v.toArray()) p.rowBreaks.push_back(row.toInt() - 1);
        } else {
            throw DescriptionError(QStringLiteral("unknown page setting \"%1\"").arg(key));
        }
    }
}

TemplateSheet readSheet(const QJsonObject& sheet, const QJsonObject& styles) {
    TemplateSheet out;
    SheetLayout& layout = out.layout;
    layout.name = sheet.value(QStringLiteral("name")).toString();
    const QJsonObject widths = sheet.value(QStringLiteral("widths")).toObject();
    for (auto it = widths.begin(); it != widths.end(); ++it) {
        const auto [first, last] = columnSpan(it.key());
        for (int c = first; c <= last; ++c) layout.columnWidths[c] = it.value().toDouble();
    }
    const QJsonObject heights = sheet.value(QStringLiteral("heights")).toObject();
    for (auto it = heights.begin(); it != heights.end(); ++it) {
        const auto [first, last] = rowSpan(it.key());
        for (int r = first; r <= last; ++r) layout.rowHeights[r] = it.value().toDouble();
    }
    applyLooks(styles, sheet.value(QStringLiteral("looks")).toArray(), layout);
    for (const QJsonValue& merge : sheet.value(QStringLiteral("merge")).toArray()) {
        const Range r = parseRange(merge.toString());
        layout.merged.push_back({r.first.row, r.last.row, r.first.column, r.last.column});
    }
    if (sheet.contains(QStringLiteral("freeze"))) {
        const auto at = parseA1(sheet.value(QStringLiteral("freeze")).toString());
        if (!at)
            throw DescriptionError(QStringLiteral("bad freeze cell"));
        layout.frozenRows = at->row;
        layout.frozenColumns = at->column;
    }
    layout.gridlines = sheet.value(QStringLiteral("gridlines")).toBool(true);
    readPage(sheet.value(QStringLiteral("page")).toObject(), layout.page);

    const QJsonObject cells = sheet.value(QStringLiteral("cells")).toObject();
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        const auto at = parseA1(it.key());
        if (!at || !it.value().isString())
            throw DescriptionError(QStringLiteral("bad cell \"%1\"").arg(it.key()));
        out.contents.emplace_back(*at, it.value().toString());
    }
    for (const QJsonValue& series : sheet.value(QStringLiteral("series")).toArray()) {
        const QJsonObject s = series.toObject();
        const auto [first, last] = rowSpan(s.value(QStringLiteral("rows")).toString());
        const QJsonObject columns = s.value(QStringLiteral("cells")).toObject();
        for (int r = first; r <= last; ++r)
            for (auto it = columns.begin(); it != columns.end(); ++it) {
                const auto column = columnIndex(it.key());
                if (!column)
                    throw DescriptionError(QStringLiteral("bad column \"%1\"").arg(it.key()));
                out.contents.emplace_back(CellRef{r, *column},
                                          expand(it.value().toString(), r + 1, r - first + 1));
            }
    }
    return out;
}

}  // namespace

Range parseRange(const QString& text) {
    const QStringList parts = text.split(u':');
    if (parts.size() == 2 && !parts[0].isEmpty() && parts[0][0].isDigit()) {
        const auto [first, last] = rowSpan(text);
        return {{first, 0}, {last, CellRef::kMaxColumns - 1}};
    }
    if (parts.size() == 2 && columnIndex(parts[0]) && columnIndex(parts[1])) {
        const auto [first, last] = columnSpan(text);
        return {{0, first}, {CellRef::kMaxRows - 1, last}};
    }
    const auto first = parseA1(parts.value(0));
    const auto last = parts.size() == 2 ? parseA1(parts[1]) : first;
    if (parts.size() > 2 || !first || !last || last->row < first->row ||
        last->column < first->column)
        throw DescriptionError(QStringLiteral("bad range \"%1\"").arg(text));
    return {*first, *last};
}

std::vector<TemplateSheet> readDescription(const QJsonObject& root) {
    const QJsonObject styles = root.value(QStringLiteral("styles")).toObject();
    std::vector<TemplateSheet> sheets;
    for (const QJsonValue& sheet : root.value(QStringLiteral("sheets")).toArray()) {
        sheets.push_back(readSheet(sheet.toObject(), styles));
        if (sheets.back().layout.name.isEmpty())
            throw DescriptionError(QStringLiteral("a sheet without a name"));
    }
    if (sheets.empty())
        throw DescriptionError(QStringLiteral("no sheets"));
    return sheets;
}

}  // namespace velmora::maketemplate
