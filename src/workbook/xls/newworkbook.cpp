#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlstring.h"
#include "workbook/xls/xlsworkbook.h"

#include <QSet>
#include <cmath>

namespace velmora::xls {

namespace {

QByteArray fields16(std::initializer_list<quint16> values) {
    QByteArray b;
    for (quint16 v : values) add16(b, v);
    return b;
}

QByteArray bof(quint16 kind) {
    QByteArray b = fields16({0x0600, kind, 0x0DBB, 0x07CC});
    add32(b, 0);
    add32(b, 0x06);  // earliest version that can read it: BIFF8
    return b;
}

void checkNames(const QStringList& names) {
    if (names.isEmpty())
        throw XlsError(QStringLiteral("工作簿至少要有一个工作表。"));
    QSet<QString> seen;
    for (const QString& name : names) {
        static const QString forbidden = QStringLiteral("[]:*?/\\");
        const bool badChar =
            std::any_of(name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); });
        if (name.isEmpty() || name.size() > 31 || badChar || name.startsWith(u'\'') ||
            name.endsWith(u'\''))
            throw XlsError(QStringLiteral("“%1”不能作为工作表名称。").arg(name));
        if (seen.contains(name.toLower()))
            throw XlsError(QStringLiteral("工作表名称“%1”重复了。").arg(name));
        seen.insert(name.toLower());
    }
}

// 宋体 12 pt, the default font of a Chinese spreadsheet.
QByteArray font() {
    QByteArray b = fields16({240, 0, 0x7FFF, 400, 0});
    add8(b, 0);     // no underline
    add8(b, 0);     // family
    add8(b, 0x86);  // GB2312 character set
    add8(b, 0);
    appendUnicodeString(b, QStringLiteral("宋体"), 1);
    return b;
}

// XF 0-14 are the style formats Excel expects, XF 15 the default cell format.
QByteArray xf(bool style) {
    QByteArray b = fields16({0, 0, quint16(style ? 0xFFF5 : 0x0001)});
    add8(b, 0x20);  // bottom aligned
    add8(b, 0);
    add8(b, 0);
    add8(b, style ? 0xF4 : 0x00);
    add32(b, 0);
    add32(b, 0);
    add16(b, 0x20C0);  // automatic colours
    return b;
}

QByteArray worksheet(bool first, const QMap<int, double>& widths) {
    QByteArray s;
    appendRecord(s, rt::kBof, bof(0x0010));
    appendRecord(s, 0x000D, fields16({1}));    // CALCMODE: automatic
    appendRecord(s, 0x000C, fields16({100}));  // CALCCOUNT
    appendRecord(s, 0x000F, fields16({1}));    // REFMODE: A1
    appendRecord(s, 0x0011, fields16({0}));    // ITERATION
    QByteArray delta;
    addF64(delta, 0.001);
    appendRecord(s, 0x0010, delta);                              // DELTA
    appendRecord(s, 0x005F, fields16({1}));                      // SAVERECALC
    appendRecord(s, 0x002A, fields16({0}));                      // PRINTHEADERS
    appendRecord(s, 0x002B, fields16({0}));                      // PRINTGRIDLINES
    appendRecord(s, 0x0082, fields16({1}));                      // GRIDSET
    appendRecord(s, 0x0080, fields16({0, 0, 0, 0}));             // GUTS
    appendRecord(s, rt::kDefaultRowHeight, fields16({0, 285}));  // 14.25 pt
    appendRecord(s, 0x0081, fields16({0x04C1}));                 // WSBOOL
    appendRecord(s, rt::kDefColWidth, fields16({8}));
    // COLINFO: one column each, width in 1/256 of a character, default format.
    for (auto it = widths.begin(); it != widths.end(); ++it)
        if (it.key() >= 0 && it.key() < CellRef::kMaxColumns && it.value() > 0 &&
            it.value() <= 255)
            appendRecord(s, rt::kColInfo,
                         fields16({quint16(it.key()), quint16(it.key()),
                                   quint16(std::lround(it.value() * 256)), 15, 0, 0}));
    appendRecord(s, rt::kDimensions, QByteArray(14, '\0'));
    // WINDOW2: grid, headers, zeros, outline symbols; the first sheet selected.
    appendRecord(s, rt::kWindow2,
                 fields16({quint16(first ? 0x06B6 : 0x00B6), 0, 0, 0x40, 0, 0, 0, 0, 0}));
    appendRecord(s, rt::kEof, QByteArray());
    return s;
}

}  // namespace

QByteArray newWorkbookStream(const QStringList& names,
                             const QList<QMap<int, double>>& columnWidths) {
    checkNames(names);
    QByteArray g;
    appendRecord(g, rt::kBof, bof(0x0005));
    appendRecord(g, 0x00E1, fields16({1200}));  // INTERFACEHDR
    appendRecord(g, 0x00C1, fields16({0}));     // MMS
    appendRecord(g, 0x00E2, QByteArray());      // INTERFACEEND
    appendRecord(g, rt::kCodePage, fields16({1200}));
    appendRecord(g, 0x0161, fields16({0}));  // DSF
    QByteArray tabs;
    for (int i = 0; i < names.size(); ++i) add16(tabs, quint16(i + 1));
    appendRecord(g, 0x013D, tabs);           // TABID
    appendRecord(g, 0x0019, fields16({0}));  // WINDOWPROTECT
    appendRecord(g, 0x0012, fields16({0}));  // PROTECT
    appendRecord(g, 0x0013, fields16({0}));  // PASSWORD
    appendRecord(g, 0x0040, fields16({0}));  // BACKUP
    appendRecord(g, 0x008D, fields16({0}));  // HIDEOBJ
    // WINDOW1: position and size of the window, first tab active.
    appendRecord(g, 0x003D, fields16({0x0168, 0x001E, 0x3A5C, 0x2328, 0x0038, 0, 0, 1, 0x0258}));
    appendRecord(g, rt::kDateMode, fields16({0}));
    appendRecord(g, 0x000E, fields16({1}));  // PRECISION: as displayed off
    appendRecord(g, 0x01B7, fields16({0}));  // REFRESHALL
    appendRecord(g, 0x00DA, fields16({0}));  // BOOKBOOL
    for (int i = 0; i < 4; ++i)              // font 4 does not exist: four are enough
        appendRecord(g, rt::kFont, font());
    for (int i = 0; i < 16; ++i) appendRecord(g, rt::kXf, xf(i < 15));
    appendRecord(g, rt::kStyle, fields16({0x8000, 0xFF00}));  // "Normal" on XF 0
    appendRecord(g, 0x0160, fields16({0}));                   // USESELFS

    std::vector<qint64> offsetFields;
    for (const QString& name : names) {
        offsetFields.push_back(g.size() + 4);
        QByteArray b;
        add32(b, 0);  // position of the sheet, filled in below
        add16(b, 0);  // visible worksheet
        appendUnicodeString(b, name, 1);
        appendRecord(g, rt::kBoundSheet, b);
    }
    appendRecord(g, 0x008C, fields16({86, 86}));  // COUNTRY: China
    QByteArray sst;
    add32(sst, 0);
    add32(sst, 0);
    appendRecord(g, rt::kSst, sst);
    appendRecord(g, rt::kExtSst, fields16({8}));
    appendRecord(g, rt::kEof, QByteArray());

    for (int i = 0; i < names.size(); ++i) {
        put32(g.data() + offsetFields[size_t(i)], quint32(g.size()));
        g.append(worksheet(i == 0, columnWidths.value(i)));
    }
    // A stream under 4096 bytes would go to the compound file's small-block
    // area, where some spreadsheet programs do not look for a workbook.
    if (g.size() < 4096)
        g.append(QByteArray(4096 - g.size(), '\0'));
    return g;
}

}  // namespace velmora::xls
