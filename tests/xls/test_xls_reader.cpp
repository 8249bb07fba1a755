#include "workbook/xls/xlsworkbook.h"
#include "workbookparts.h"
#include "xlrdview.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QTest>
#include <cstring>
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
    void cellsInAnyOrder_data();
    void cellsInAnyOrder();
    void stringsInAnyOrder();

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
            QVERIFY2(
                ours.count(ref) && ours.at(ref) == mine,
                qPrintable(
                    QStringLiteral("%1!%2: cell and forEachCell differ").arg(names[s], a1(ref))));
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

// Writers put cell records in order of their cells, and the reader takes
// the records themselves as the index then; records out of order, or two
// for one cell (the later counts), need an index of their own.
void TestXlsReader::cellsInAnyOrder_data() {
    QTest::addColumn<bool>("swap");          // the first and the last record swap places
    QTest::addColumn<bool>("sameCell");      // the last record names the first one's cell
    QTest::addColumn<QStringList>("cells");  // A1, B1, A2 afterwards
    QTest::newRow("in order") << false << false << QStringList{"一", "二", "三"};
    QTest::newRow("reversed") << true << false << QStringList{"一", "二", "三"};
    QTest::newRow("one cell twice") << false << true << QStringList{"三", "二", ""};
    QTest::newRow("one cell twice, reversed") << true << true << QStringList{"一", "二", ""};
}

void TestXlsReader::cellsInAnyOrder() {
    QFETCH(bool, swap);
    QFETCH(bool, sameCell);
    QFETCH(QStringList, cells);
    XlsWorkbook made = XlsWorkbook::create({QStringLiteral("Sheet1")});
    made.setText(0, {0, 0}, QStringLiteral("一"));
    made.setText(0, {0, 1}, QStringLiteral("二"));
    made.setText(0, {1, 0}, QStringLiteral("三"));
    // LABELSST records are 14 bytes long: swapped, nothing else moves.
    const QByteArray file = test::withStream(made.toBytes(), [&](QByteArray& s) {
        std::vector<qsizetype> at{test::find(s, xls::rt::kLabelSst)};
        for (int i = 0; i < 2; ++i) at.push_back(test::find(s, xls::rt::kLabelSst, at.back() + 14));
        if (sameCell)
            std::memcpy(s.data() + at[2] + 4, s.constData() + at[0] + 4, 4);  // row, column
        if (swap) {
            const QByteArray first = s.mid(at[0], 14);
            s.replace(at[0], 14, s.mid(at[2], 14));
            s.replace(at[2], 14, first);
        }
    });
    const XlsWorkbook wb = XlsWorkbook::fromBytes(file);
    std::map<CellRef, QString> visited;
    wb.forEachCell(0, [&](CellRef ref, const CellValue& v) { visited[ref] = v.toText(); });
    const QList<CellRef> refs{{0, 0}, {0, 1}, {1, 0}};
    for (int i = 0; i < refs.size(); ++i) {
        QCOMPARE(wb.cell(0, refs[i]).toText(), cells[i]);
        QCOMPARE(visited.count(refs[i]) ? visited[refs[i]] : QString(), cells[i]);
    }
    QCOMPARE(visited.size(), size_t(cells.count(QString()) ? 2 : 3));
}

// Cells naming the table's strings forwards, backwards and in jumps, read
// cell by cell (each text where it lies) and then looked up one by one.
void TestXlsReader::stringsInAnyOrder() {
    XlsWorkbook made = XlsWorkbook::create({QStringLiteral("Sheet1")});
    const int n = 50;
    const auto text = [](int i) {
        return QStringLiteral("第%1个\r文字").arg(i).repeated(1 + i % 3);
    };
    for (int i = 0; i < n; ++i) {
        made.setText(0, {i, 0}, text(i));
        made.setText(0, {i, 1}, text(n - 1 - i));
        made.setText(0, {i, 2}, text(i * 17 % n));
    }
    const XlsWorkbook wb = XlsWorkbook::fromBytes(made.toBytes());
    std::map<CellRef, QString> expected;
    for (int i = 0; i < n; ++i)
        for (const auto& [column, k] :
             {std::pair{0, i}, std::pair{1, n - 1 - i}, std::pair{2, i * 17 % n}})
            expected[{i, column}] = QString(text(k)).replace(u'\r', u'\n');
    QCOMPARE(test::texts(wb, 0), expected);
    for (const auto& [ref, t] : expected) QCOMPARE(wb.cell(0, ref).text, t);
}

QTEST_GUILESS_MAIN(TestXlsReader)
#include "test_xls_reader.moc"
