#include "workbook/formula/links.h"

#include "workbook/cellref.h"

#include <QRegularExpression>

namespace velmora::formula {

int Links::sheetIndex(QStringView name) const {
    for (qsizetype i = 0; i < sheets.size(); ++i)
        if (QStringView(sheets[i]).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int Links::nameIndex(QStringView name, int fromSheet) const {
    int global = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        const DefinedName& n = names[i];
        if (QStringView(n.name).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (n.scope == fromSheet && fromSheet >= 0)
            return int(i);
        if (n.scope < 0 && global < 0)
            global = int(i);
    }
    return global;
}

int Links::selfSupbook() const {
    for (size_t i = 0; i < supbooks.size(); ++i)
        if (supbooks[i].kind == SupBook::Kind::Self)
            return int(i);
    return -1;
}

int Links::externSheetFor(int firstSheet, int lastSheet) {
    int self = selfSupbook();
    for (size_t i = 0; i < externSheets.size(); ++i) {
        const ExternSheet& e = externSheets[i];
        if (e.supbook == self && self >= 0 && e.firstSheet == firstSheet &&
            e.lastSheet == lastSheet)
            return int(i);
    }
    if (self < 0) {
        SupBook own;
        own.kind = SupBook::Kind::Self;
        supbooks.push_back(own);
        self = int(supbooks.size()) - 1;
    }
    externSheets.push_back({self, firstSheet, lastSheet});
    return int(externSheets.size()) - 1;
}

int Links::functionName(const QString& storedName) {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].scope < 0 && names[i].name.compare(storedName, Qt::CaseInsensitive) == 0)
            return int(i);
    DefinedName n;
    n.name = storedName;
    n.function = true;
    names.push_back(n);
    return int(names.size()) - 1;
}

QString quoteSheetName(const QString& name) {
    bool plain = !name.isEmpty() && !name[0].isDigit();
    for (QChar c : name)
        if (!(c.isLetterOrNumber() || c == u'_' || c == u'.'))
            plain = false;
    // Names a reader would take for a cell (A1, IV65536) or an R1C1 address.
    static const QRegularExpression address(
        QStringLiteral("^(?:[A-Za-z]{1,3}[0-9]+|[Rr][0-9]*(?:[Cc][0-9]*)?|[Cc][0-9]*)$"));
    if (plain && address.match(name).hasMatch())
        plain = false;
    if (plain)
        return name;
    QString quoted = name;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

QString cellAddress(int row, int column, bool rowRelative, bool columnRelative) {
    QString s;
    if (!columnRelative)
        s += u'$';
    s += columnName(column);
    if (!rowRelative)
        s += u'$';
    s += QString::number(row + 1);
    return s;
}

}  // namespace velmora::formula
