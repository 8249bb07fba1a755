#include "workbook/xls/xlsworkbook.h"
#include "xlrdview.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QTest>
#include <map>

using namespace velmora;
using xls::XlsWorkbook;

// Every cell of every corpus file reads as python3-xlrd reads it.
class TestXlsReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cellsAgreeWithXlrd_data();
    void cellsAgreeWithXlrd();

private:
    QList<QJsonObject> views_;
};

void TestXlsReader::initTestCase() {
    if (!test::xlrdAvailable())
        QSKIP("python3-xlrd is not installed");
    views_ = test::xlrdView(test::corpusFiles());
}

void TestXlsReader::cellsAgreeWithXlrd_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QJsonObject>("view");
    const QStringList files = test::corpusFiles();
    QVERIFY(!files.isEmpty());
    for (qsizetype i = 0; i < files.size(); ++i)
        QTest::newRow(qPrintable(QFileInfo(files[i]).fileName())) << files[i] << views_[i];
}

namespace {

QString normalized(QString s) {
    return s.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

// xlrd's cell as a CellValue: types 1 text, 2 number, 3 date, 4 boolean,
// 5 error, 6 blank; dates in the workbook's own date system.
CellValue expected(const QJsonArray& cell, int datemode) {
    const QJsonValue v = cell[3];
    switch (cell[2].toInt()) {
        case 1:
            return CellValue::makeText(normalized(v.toString()));
        case 2:
            return CellValue::makeNumber(v.toDouble());
        case 3:
            return CellValue::makeNumber(v.toDouble() + (datemode == 1 ? 1462 : 0), true);
        case 4:
            return CellValue::makeBoolean(v.toInt() != 0);
        case 5:
            return CellValue::makeError(quint8(v.toInt()));
        default:
            return CellValue();
    }
}

}  // namespace

void TestXlsReader::cellsAgreeWithXlrd() {
    QFETCH(QString, file);
    QFETCH(QJsonObject, view);
    QVERIFY2(!view.contains(QStringLiteral("error")),
             qPrintable(view.value(QStringLiteral("error")).toString()));
    const XlsWorkbook wb = XlsWorkbook::load(file);
    const QJsonArray sheets = view[QStringLiteral("sheets")].toArray();
    QStringList names;
    for (const QJsonValue& s : sheets) names << s[QStringLiteral("name")].toString();
    QCOMPARE(wb.sheetNames(), names);

    const int datemode = view[QStringLiteral("datemode")].toInt();
    for (int s = 0; s < sheets.size(); ++s) {
        std::map<CellRef, CellValue> theirs;
        for (const QJsonValue& c : sheets[s][QStringLiteral("cells")].toArray()) {
            const QJsonArray cell = c.toArray();
            const CellValue v = expected(cell, datemode);
            if (!v.isEmpty())
                theirs[CellRef{cell[0].toInt(), cell[1].toInt()}] = v;
        }
        std::map<CellRef, CellValue> ours;
        wb.forEachCell(s, [&](CellRef ref, const CellValue& v) { ours[ref] = v; });
        for (const auto& [ref, v] : theirs) {
            const CellValue mine = wb.cell(s, ref);
            QVERIFY2(mine == v, qPrintable(QStringLiteral("%1!%2: xlrd %3 (%4), engine %5 (%6)")
                                               .arg(names[s], a1(ref), v.toText())
                                               .arg(int(v.kind) * 10 + v.isDate)
                                               .arg(mine.toText())
                                               .arg(int(mine.kind) * 10 + mine.isDate)));
        }
        for (const auto& [ref, v] : ours)
            QVERIFY2(theirs.count(ref), qPrintable(QStringLiteral("%1!%2 only the engine sees: %3")
                                                       .arg(names[s], a1(ref), v.toText())));
    }
}

QTEST_GUILESS_MAIN(TestXlsReader)
#include "test_xls_reader.moc"
