#include "workbook/layout.h"

#include "workbook/cellref.h"

namespace velmora::layout {

namespace {
QStringList columnRange(int first, int last, int skip = -1) {
    QStringList out;
    for (int c = first; c <= last; ++c)
        if (c != skip)
            out << columnName(c);
    return out;
}
}  // namespace

QStringList archiveColumns() {
    return columnRange(0, *columnIndex(u"AV"), *columnIndex(u"Q"));
}

QStringList scoreColumns() {
    return columnRange(*columnIndex(u"C"), *columnIndex(u"R"));
}

QStringList subjectColumns() {
    return columnRange(*columnIndex(u"B"), *columnIndex(u"N"));
}

std::optional<int> parseNumber(QStringView text) {
    const QStringView digits = text.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        int d;
        if (u >= u'0' && u <= u'9')
            d = u - u'0';
        else if (u >= u'\uFF10' && u <= u'\uFF19')  // full-width digits
            d = u - u'\uFF10';
        else
            return std::nullopt;
        value = value * 10 + d;
        if (value > kMaxNumber)
            return std::nullopt;
    }
    if (value < 1)
        return std::nullopt;
    return value;
}

QString address(const QString& column, int row) {
    return column + QString::number(row);
}

}  // namespace velmora::layout
