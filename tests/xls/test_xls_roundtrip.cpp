#include "libreoffice.h"
#include "workbook/xls/container.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlsworkbook.h"
#include "workbookparts.h"
#include "xlrdview.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using velmora::CellRef;
using velmora::CellValue;
using velmora::xls::XlsError;
using velmora::xls::XlsWorkbook;

// A workbook made from nothing, written, saved to bytes and read back.
class TestXlsRoundTrip : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void createdWorkbookHasItsSheets();
    void createdWorkbookOpensInOtherReaders();
    void valuesSurviveSaving_data();
    void valuesSurviveSaving();
    void clearingEmptiesTheCell();
    void badSheetNamesAreRefused_data();
    void badSheetNamesAreRefused();
    void textsAtTheContinueBoundary_data();
    void textsAtTheContinueBoundary();
    void longestCellTextIsTheLimit();
    void cellsOutsideTheSheetAreRefused_data();
    void cellsOutsideTheSheetAreRefused();
    void corpusStringLongerThanTheLimitIsReadWhole();
};

void TestXlsRoundTrip::createdWorkbookHasItsSheets() {
    const QStringList names{QStringLiteral("设置"), QStringLiteral("学生档案"),
                            QStringLiteral("打印到班主任工作笔记上 ")};
    const XlsWorkbook wb = XlsWorkbook::fromBytes(XlsWorkbook::create(names).toBytes());
    QCOMPARE(wb.sheetNames(), names);
    QCOMPARE(wb.sheetIndex(QStringLiteral("打印到班主任工作笔记上 ")), 2);
    QCOMPARE(wb.sheetIndex(QStringLiteral("打印到班主任工作笔记上")), -1);
    QCOMPARE(wb.lastCell(1), (CellRef{-1, -1}));
}

void TestXlsRoundTrip::createdWorkbookOpensInOtherReaders() {
    const QStringList names{QStringLiteral("设置"), QStringLiteral("写评语"),
                            QStringLiteral("打印到班主任工作笔记上 ")};
    // Column widths of the new sheets: AM of 写评语 wide enough for comments.
    XlsWorkbook wb = XlsWorkbook::create(names, {{}, {{38, 60.0}, {1, 12.5}}});
    wb.setText(1, {0, 38}, QStringLiteral("评语"));
    wb.setText(1, {5, 38}, QStringLiteral("第一行\n第二行"));
    wb.setNumber(1, {5, 0}, 5);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.xls"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(wb.toBytes());
    out.close();
    if (!velmora::test::xlrdAvailable())
        QSKIP("python3-xlrd is not installed");
    const QJsonObject view = velmora::test::xlrdView({path}).front();
    QVERIFY2(!view.contains(QStringLiteral("error")),
             qPrintable(view[QStringLiteral("error")].toString()));
    const QJsonArray sheets = view[QStringLiteral("sheets")].toArray();
    QCOMPARE(sheets.size(), 3);
    QCOMPARE(sheets[2][QStringLiteral("name")].toString(), names[2]);
    const QJsonArray cells = sheets[1][QStringLiteral("cells")].toArray();
    QCOMPARE(cells.size(), 3);
    const QJsonObject columns = sheets[1][QStringLiteral("columns")].toObject();
    QCOMPARE(columns.keys(), (QStringList{QStringLiteral("1"), QStringLiteral("38")}));
    QCOMPARE(columns[QStringLiteral("38")].toArray()[0].toInt(), 60 * 256);
    QCOMPARE(columns[QStringLiteral("1")].toArray()[0].toInt(), 3200);
    QVERIFY(sheets[0][QStringLiteral("columns")].toObject().isEmpty());
    QCOMPARE(cells[2].toArray()[3].toString(), QStringLiteral("第一行\n第二行"));
    if (velmora::test::sofficePath().isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    const auto run = velmora::test::convertToCsv({path}, dir.path());
    QVERIFY2(run.finished, qPrintable(run.output));
    QFile csv(dir.filePath(QStringLiteral("new-写评语.csv")));
    QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(run.output));
    const QString text = QString::fromUtf8(csv.readAll());
    QVERIFY(text.contains(QStringLiteral("\"第一行\n第二行\"")));
    QVERIFY(text.startsWith(QStringLiteral(",,,,")));
}

void TestXlsRoundTrip::valuesSurviveSaving_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("latin text") << QStringLiteral("abc") << 0.0 << QStringLiteral("abc");
    QTest::newRow("chinese text") << QStringLiteral("张三丰") << 0.0 << QStringLiteral("张三丰");
    QTest::newRow("text that looks like a number")
        << QStringLiteral("007") << 0.0 << QStringLiteral("007");
    QTest::newRow("multi-line, CR LF becomes LF")
        << QStringLiteral("第一行\r\n第二行\r第三行") << 0.0
        << QStringLiteral("第一行\n第二行\n第三行");
    QTest::newRow("whole number") << QString() << 42.0 << QStringLiteral("42");
    QTest::newRow("fraction") << QString() << -3.25 << QStringLiteral("-3.25");
}

void TestXlsRoundTrip::valuesSurviveSaving() {
    QFETCH(QString, text);
    QFETCH(double, number);
    QFETCH(QString, expected);
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("Sheet1"), QStringLiteral("写评语")});
    const CellRef at{5, 38};  // AM6
    if (text.isEmpty())
        wb.setNumber(1, at, number);
    else
        wb.setText(1, at, text);
    QVERIFY(wb.isModified());
    QCOMPARE(wb.cell(1, at).toText(), expected);

    const XlsWorkbook back = XlsWorkbook::fromBytes(wb.toBytes());
    QVERIFY(!back.isModified());
    QCOMPARE(back.cell(1, at).toText(), expected);
    QCOMPARE(back.cell(1, at).kind,
             text.isEmpty() ? CellValue::Kind::Number : CellValue::Kind::Text);
    QCOMPARE(back.cell(0, at).kind, CellValue::Kind::Empty);
    QCOMPARE(back.lastCell(1), at);
}

void TestXlsRoundTrip::clearingEmptiesTheCell() {
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("Sheet1")});
    wb.setText(0, {1, 1}, QStringLiteral("x"));
    XlsWorkbook saved = XlsWorkbook::fromBytes(wb.toBytes());
    saved.setText(0, {1, 1}, QString());
    QVERIFY(saved.isModified());
    const XlsWorkbook back = XlsWorkbook::fromBytes(saved.toBytes());
    QVERIFY(back.cell(0, {1, 1}).isEmpty());
}

void TestXlsRoundTrip::badSheetNamesAreRefused_data() {
    QTest::addColumn<QStringList>("names");
    QTest::newRow("none") << QStringList();
    QTest::newRow("empty") << QStringList{QString()};
    QTest::newRow("32 characters") << QStringList{QString(32, u'x')};
    QTest::newRow("slash") << QStringList{QStringLiteral("a/b")};
    QTest::newRow("duplicate ignoring case")
        << QStringList{QStringLiteral("Ab"), QStringLiteral("aB")};
}

void TestXlsRoundTrip::badSheetNamesAreRefused() {
    QFETCH(QStringList, names);
    QVERIFY_THROWS_EXCEPTION(XlsError, XlsWorkbook::create(names));
}

void TestXlsRoundTrip::textsAtTheContinueBoundary_data() {
    // A string of the table starting `before` bytes ahead of the end of the
    // first 8224-byte record: its header (3 bytes) and first character are
    // never split, its characters go on in a CONTINUE after a flag byte.
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("text");
    const QString chinese = QString(40, QChar(0x5B66));  // 学
    const QString latin = QString(40, u'x');
    const QString huge = QString(9000, QChar(0x8BC4));  // 18000 bytes: three records
    for (int before : {0, 2, 3, 4, 5, 6, 7, 44}) {
        QTest::addRow("16-bit, %d bytes left", before) << before << chinese;
        QTest::addRow("8-bit, %d bytes left", before) << before << latin;
    }
    QTest::newRow("longer than two records") << 100 << huge;
    QTest::newRow("multi-line across the boundary")
        << 20 << QStringLiteral("第一行\n第二行\n第三行");
}

void TestXlsRoundTrip::textsAtTheContinueBoundary() {
    QFETCH(int, before);
    QFETCH(QString, text);
    // The table starts with its two counts (8 bytes); a filler string
    // (3-byte header + 8-bit characters) takes the record up to the point.
    const QString filler(8224 - 8 - 3 - before, u'f');
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("Sheet1")});
    wb.setText(0, {0, 0}, filler);
    wb.setText(0, {1, 0}, text);
    wb.setText(0, {2, 0}, QStringLiteral("之后"));
    const QByteArray file = wb.toBytes();

    const velmora::xls::WorkbookData data =
        velmora::xls::readWorkbook(velmora::xls::readContainer(file));
    for (const velmora::xls::Record& r : data.globals)
        QVERIFY(r.size <= velmora::xls::kMaxRecordBody);
    QCOMPARE(data.strings.size(), size_t(3));
    const XlsWorkbook back = XlsWorkbook::fromBytes(file);
    // Cell by cell first (each text read where it lies), then looked up.
    const std::map<CellRef, QString> visited = velmora::test::texts(back, 0);
    QCOMPARE(visited, (std::map<CellRef, QString>{
                          {{0, 0}, filler}, {{1, 0}, text}, {{2, 0}, QStringLiteral("之后")}}));
    QCOMPARE(back.cell(0, {0, 0}).text, filler);
    QCOMPARE(back.cell(0, {1, 0}).text, text);
    QCOMPARE(back.cell(0, {2, 0}).text, QStringLiteral("之后"));

    if (!velmora::test::xlrdAvailable())
        return;
    QTemporaryDir dir;
    QFile out(dir.filePath(QStringLiteral("boundary.xls")));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    const QJsonObject view = velmora::test::xlrdView({out.fileName()}).front();
    const QJsonArray cells = view[QStringLiteral("sheets")][0][QStringLiteral("cells")].toArray();
    QCOMPARE(cells.size(), 3);
    QCOMPARE(cells[1].toArray()[3].toString(), text);
    QCOMPARE(cells[2].toArray()[3].toString(), QStringLiteral("之后"));
}

void TestXlsRoundTrip::longestCellTextIsTheLimit() {
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("Sheet1")});
    wb.setText(0, {0, 0}, QStringLiteral("原来的"));
    const XlsWorkbook saved = XlsWorkbook::fromBytes(wb.toBytes());
    XlsWorkbook edited = XlsWorkbook::fromBytes(wb.toBytes());
    QVERIFY_THROWS_EXCEPTION(XlsError, edited.setText(0, {0, 0}, QString(32768, QChar(0x5B57))));
    QVERIFY(!edited.isModified());
    QCOMPARE(edited.cell(0, {0, 0}).text, QStringLiteral("原来的"));
    const QString longest(32767, QChar(0x5B57));
    edited.setText(0, {0, 0}, longest);
    QCOMPARE(XlsWorkbook::fromBytes(edited.toBytes()).cell(0, {0, 0}).text, longest);
}

void TestXlsRoundTrip::cellsOutsideTheSheetAreRefused_data() {
    QTest::addColumn<int>("sheet");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("last cell IV65536") << 0 << 65535 << 255 << true;
    QTest::newRow("row 65537") << 0 << 65536 << 0 << false;
    QTest::newRow("column IW") << 0 << 0 << 256 << false;
    QTest::newRow("negative row") << 0 << -1 << 0 << false;
    QTest::newRow("no such sheet") << 1 << 0 << 0 << false;
    QTest::newRow("negative sheet") << -1 << 0 << 0 << false;
}

void TestXlsRoundTrip::cellsOutsideTheSheetAreRefused() {
    QFETCH(int, sheet);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, allowed);
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("Sheet1")});
    const CellRef at{row, column};
    if (!allowed) {
        QVERIFY_THROWS_EXCEPTION(XlsError, wb.setText(sheet, at, QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(XlsError, wb.cell(sheet, at));
        QVERIFY(!wb.isModified());
        return;
    }
    wb.setText(sheet, at, QStringLiteral("角落"));
    const XlsWorkbook back = XlsWorkbook::fromBytes(wb.toBytes());
    QCOMPARE(back.cell(sheet, at).text, QStringLiteral("角落"));
    QCOMPARE(back.lastCell(sheet), at);
}

void TestXlsRoundTrip::corpusStringLongerThanTheLimitIsReadWhole() {
    QFile f(qEnvironmentVariable("VELMORA_CORPUS") +
            QStringLiteral("/poi_46368_ooo_32770char_string.xls"));
    if (!f.open(QIODevice::ReadOnly))
        QSKIP("corpus file missing");
    const XlsWorkbook wb = XlsWorkbook::fromBytes(f.readAll());
    qsizetype longest = 0;
    for (int s = 0; s < wb.sheetNames().size(); ++s)
        wb.forEachCell(s, [&](CellRef, const CellValue& v) {
            longest = std::max(longest, v.toText().size());
        });
    QCOMPARE(longest, qsizetype(32770));
}

QTEST_GUILESS_MAIN(TestXlsRoundTrip)
#include "test_xls_roundtrip.moc"
