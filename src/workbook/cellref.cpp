#include "workbook/cellref.h"

namespace velmora {

namespace {
int letterValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z')
        return u - u'A' + 1;
    if (u >= u'a' && u <= u'z')
        return u - u'a' + 1;
    return 0;
}
}  // namespace

std::optional<int> columnIndex(QStringView letters) {
    if (letters.isEmpty() || letters.size() > 3)
        return std::nullopt;
    int value = 0;
    for (QChar c : letters) {
        const int v = letterValue(c);
        if (v == 0)
            return std::nullopt;
        value = value * 26 + v;
    }
    return value - 1;
}

QString columnName(int column) {
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

std::optional<CellRef> parseA1(QStringView address) {
    qsizetype i = 0;
    while (i < address.size() && letterValue(address[i]) != 0)
        ++i;
    const auto column = columnIndex(address.left(i));
    const QStringView digits = address.mid(i);
    if (!column || *column >= CellRef::kMaxColumns || digits.isEmpty() || digits.size() > 5)
        return std::nullopt;
    int row = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        row = row * 10 + (c.unicode() - u'0');
    }
    if (row < 1 || row > CellRef::kMaxRows)
        return std::nullopt;
    return CellRef{row - 1, *column};
}

QString a1(CellRef ref) {
    return columnName(ref.column) + QString::number(ref.row + 1);
}

}  // namespace velmora
