#include "workbook/formula/referencetext.h"

#include "workbook/cellref.h"

namespace velmora::formula {

namespace {

bool isLetter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Column letters with an optional '$' before them.
qsizetype readColumn(QStringView s, qsizetype at, RefEnd& out) {
    qsizetype i = at;
    const bool absolute = i < s.size() && s[i] == u'$';
    if (absolute)
        ++i;
    const qsizetype start = i;
    while (i < s.size() && isLetter(s[i]) && i - start < 3) ++i;
    if (i == start || (i < s.size() && isLetter(s[i])))
        return 0;
    const auto column = columnIndex(s.mid(start, i - start));
    if (!column || *column > kMaxColumn)
        return 0;
    out.column = *column;
    out.columnRelative = !absolute;
    return i - at;
}

// A row number with an optional '$' before it.
qsizetype readRow(QStringView s, qsizetype at, RefEnd& out) {
    qsizetype i = at;
    const bool absolute = i < s.size() && s[i] == u'$';
    if (absolute)
        ++i;
    const qsizetype start = i;
    qint64 row = 0;
    while (i < s.size() && isDigit(s[i]) && i - start < 6) row = row * 10 + (s[i++].unicode() - u'0');
    if (i == start || (i < s.size() && isDigit(s[i])) || row < 1 || row > kMaxRow + 1)
        return 0;
    out.row = int(row - 1);
    out.rowRelative = !absolute;
    return i - at;
}

// After a reference no letter, digit or name character may follow.
bool ends(QStringView s, qsizetype at) {
    return at >= s.size() || !(s[at].isLetterOrNumber() || s[at] == u'_' || s[at] == u'.');
}

}  // namespace

qsizetype readCell(QStringView s, qsizetype at, RefEnd& out) {
    const qsizetype c = readColumn(s, at, out);
    if (c == 0)
        return 0;
    const qsizetype r = readRow(s, at + c, out);
    return r == 0 || !ends(s, at + c + r) ? 0 : c + r;
}

qsizetype readArea(QStringView s, qsizetype at, RefEnd& first, RefEnd& last, bool& area) {
    area = false;
    if (const qsizetype n = readCell(s, at, first)) {
        if (at + n < s.size() && s[at + n] == u':') {
            if (const qsizetype m = readCell(s, at + n + 1, last)) {
                area = true;
                return n + 1 + m;
            }
        }
        last = first;
        return n;
    }
    // Whole columns "A:C" and whole rows "1:3".
    RefEnd a, b;
    if (const qsizetype n = readColumn(s, at, a); n && at + n < s.size() && s[at + n] == u':') {
        if (const qsizetype m = readColumn(s, at + n + 1, b); m && ends(s, at + n + 1 + m)) {
            first = {0, a.column, a.columnRelative, a.columnRelative};
            last = {kMaxRow, b.column, b.columnRelative, b.columnRelative};
            first.rowRelative = last.rowRelative = false;
            area = true;
            return n + 1 + m;
        }
    }
    if (const qsizetype n = readRow(s, at, a); n && at + n < s.size() && s[at + n] == u':') {
        if (const qsizetype m = readRow(s, at + n + 1, b); m && ends(s, at + n + 1 + m)) {
            first = {a.row, 0, a.rowRelative, false};
            last = {b.row, kMaxColumn, b.rowRelative, false};
            area = true;
            return n + 1 + m;
        }
    }
    return 0;
}

qsizetype readSheetPrefix(QStringView s, qsizetype at, QString& sheet, QString& lastSheet) {
    sheet.clear();
    lastSheet.clear();
    qsizetype i = at;
    if (i < s.size() && s[i] == u'\'') {
        // Quoted: '' stands for one quote; a span is quoted as a whole.
        QString name;
        ++i;
        while (i < s.size()) {
            if (s[i] == u'\'') {
                if (i + 1 < s.size() && s[i + 1] == u'\'') {
                    name += u'\'';
                    i += 2;
                    continue;
                }
                break;
            }
            name += s[i++];
        }
        if (i + 1 >= s.size() || s[i] != u'\'' || s[i + 1] != u'!' || name.isEmpty())
            return 0;
        const qsizetype colon = name.indexOf(u':');
        sheet = colon < 0 ? name : name.left(colon);
        lastSheet = colon < 0 ? QString() : name.mid(colon + 1);
        return i + 2 - at;
    }
    const auto word = [&](qsizetype from) {
        qsizetype j = from;
        while (j < s.size() && (s[j].isLetterOrNumber() || s[j] == u'_' || s[j] == u'.')) ++j;
        return j;
    };
    const qsizetype end = word(i);
    if (end == i)
        return 0;
    if (end < s.size() && s[end] == u'!') {
        sheet = s.mid(i, end - i).toString();
        return end + 1 - at;
    }
    if (end < s.size() && s[end] == u':') {
        const qsizetype end2 = word(end + 1);
        if (end2 > end + 1 && end2 < s.size() && s[end2] == u'!') {
            sheet = s.mid(i, end - i).toString();
            lastSheet = s.mid(end + 1, end2 - end - 1).toString();
            return end2 + 1 - at;
        }
    }
    return 0;
}

std::optional<TextRef> parseReference(QStringView text) {
    TextRef r;
    const QStringView s = text.trimmed();
    const qsizetype prefix = readSheetPrefix(s, 0, r.sheet, r.lastSheet);
    const qsizetype n = readArea(s, prefix, r.first, r.last, r.area);
    if (n == 0 || prefix + n != s.size())
        return std::nullopt;
    return r;
}

}  // namespace velmora::formula
