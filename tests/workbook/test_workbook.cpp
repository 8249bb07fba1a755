// Layout rules, addresses, cell texts and the connection, without any file.
#include "memoryhost.h"
#include "workbook/cellref.h"
#include "workbook/cellvalue.h"
#include "workbook/connection.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"
#include "workbook/paths.h"

#include <QTest>

using namespace velmora;

class TestWorkbookRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addresses_data();
    void addresses();
    void columnNames();
    void numbers_data();
    void numbers();
    void numberTexts_data();
    void numberTexts();
    void otherTexts();
    void typedValues_data();
    void typedValues();
    void layoutColumns();
    void pathsEndInTheWorkbook();
    void failedStartLeavesNoConnection();
    void connectionPassesCellsThrough();
};

void TestWorkbookRules::addresses_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("row");     // -1: not a cell
    QTest::addColumn<int>("column");
    QTest::newRow("C6") << "C6" << 5 << 2;
    QTest::newRow("lower case") << "c6" << 5 << 2;
    QTest::newRow("mixed case") << "aV12" << 11 << 47;
    QTest::newRow("first") << "A1" << 0 << 0;
    QTest::newRow("last") << "IV65536" << 65535 << 255;
    QTest::newRow("past last column") << "IW1" << -1 << 0;
    QTest::newRow("past last row") << "A65537" << -1 << 0;
    QTest::newRow("row 0") << "A0" << -1 << 0;
    QTest::newRow("no row") << "AB" << -1 << 0;
    QTest::newRow("no column") << "12" << -1 << 0;
    QTest::newRow("blank inside") << "A 1" << -1 << 0;
    QTest::newRow("fraction") << "A1.5" << -1 << 0;
    QTest::newRow("sign") << "A-1" << -1 << 0;
    QTest::newRow("empty") << "" << -1 << 0;
    QTest::newRow("full-width letter") << "Ｃ6" << -1 << 0;
}

void TestWorkbookRules::addresses() {
    QFETCH(QString, address);
    QFETCH(int, row);
    QFETCH(int, column);
    const auto ref = parseA1(address);
    if (row < 0) {
        QVERIFY(!ref);
        return;
    }
    QVERIFY(ref);
    QCOMPARE(ref->row, row);
    QCOMPARE(ref->column, column);
    QCOMPARE(a1(*ref), address.toUpper());
}

void TestWorkbookRules::columnNames() {
    for (int c = 0; c < CellRef::kMaxColumns; ++c)
        QCOMPARE(columnIndex(columnName(c)), std::optional<int>(c));
    QCOMPARE(columnName(25), QStringLiteral("Z"));
    QCOMPARE(columnName(26), QStringLiteral("AA"));
    QCOMPARE(columnName(65), QStringLiteral("BN"));
    QCOMPARE(columnIndex(u"br"), std::optional<int>(69));
    QVERIFY(!columnIndex(u"A1"));
}

void TestWorkbookRules::numbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");  // 0: refused
    QTest::newRow("plain") << "5" << 5;
    QTest::newRow("blanks around") << "  3 " << 3;
    QTest::newRow("tab and ideographic blank") << "\t7\u3000" << 7;
    QTest::newRow("full-width") << "１２" << 12;
    QTest::newRow("leading zeros") << "000012" << 12;
    QTest::newRow("largest") << "65535" << 65535;
    QTest::newRow("past the last row") << "65536" << 0;
    QTest::newRow("huge") << "99999999999999999999" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("negative") << "-3" << 0;
    QTest::newRow("plus") << "+3" << 0;
    QTest::newRow("fraction") << "2.5" << 0;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("digits and letters") << "3a" << 0;
    QTest::newRow("blank inside") << "1 2" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blank") << " " << 0;
}

void TestWorkbookRules::numbers() {
    QFETCH(QString, text);
    QFETCH(int, number);
    const auto n = layout::parseNumber(text);
    if (number == 0)
        QVERIFY(!n);
    else
        QCOMPARE(n, std::optional<int>(number));
}

void TestWorkbookRules::numberTexts_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 12.0 << "12";
    QTest::newRow("negative") << -3.25 << "-3.25";
    QTest::newRow("half") << 0.5 << "0.5";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("15 digits") << 123456789012345.0 << "123456789012345";
    QTest::newRow("rounded to 15") << 0.1 + 0.2 << "0.3";
    QTest::newRow("large") << 1e20 << "1E+20";
    QTest::newRow("large mantissa") << 1.5e16 << "1.5E+16";
    QTest::newRow("small") << 1.5e-7 << "1.5E-07";
    QTest::newRow("score") << 98.5 << "98.5";
}

void TestWorkbookRules::numberTexts() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(CellValue::makeNumber(value).toText(), text);
}

void TestWorkbookRules::otherTexts() {
    QCOMPARE(CellValue().toText(), QString());
    QCOMPARE(CellValue::makeText(QStringLiteral("甲\n乙")).toText(), QStringLiteral("甲\n乙"));
    QCOMPARE(CellValue::makeBoolean(true).toText(), QStringLiteral("TRUE"));
    QCOMPARE(CellValue::makeBoolean(false).toText(), QStringLiteral("FALSE"));
    QCOMPARE(CellValue::makeError(0x07).toText(), QStringLiteral("#DIV/0!"));
    QCOMPARE(CellValue::makeError(0x2A).toText(), QStringLiteral("#N/A"));
    QCOMPARE(CellValue::makeNumber(37865, true).toText(), QStringLiteral("2003-9-1"));
    QCOMPARE(CellValue::makeNumber(1, true).toText(), QStringLiteral("1900-1-1"));
    QCOMPARE(CellValue::makeNumber(59, true).toText(), QStringLiteral("1900-2-28"));
    QCOMPARE(CellValue::makeNumber(61, true).toText(), QStringLiteral("1900-3-1"));
    QCOMPARE(CellValue::makeNumber(37865.5, true).toText(), QStringLiteral("2003-9-1 12:00:00"));
    QCOMPARE(CellValue::makeNumber(0.25, true).toText(), QStringLiteral("6:00:00"));
}

void TestWorkbookRules::typedValues_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");  // the cell's text afterwards
    using K = CellValue::Kind;
    QTest::newRow("empty") << "" << int(K::Empty) << "";
    QTest::newRow("whole") << "100" << int(K::Number) << "100";
    QTest::newRow("decimal") << "-2.5" << int(K::Number) << "-2.5";
    QTest::newRow("full-width") << "１２０" << int(K::Number) << "120";
    QTest::newRow("full-width sign and point") << "－９８．５" << int(K::Number) << "-98.5";
    QTest::newRow("ideographic full stop") << "９８。５" << int(K::Text) << "９８。５";
    QTest::newRow("subject") << "语文" << int(K::Text) << "语文";
    QTest::newRow("term") << "2003-2004学年度第一学期" << int(K::Text) << "2003-2004学年度第一学期";
    QTest::newRow("blank") << " " << int(K::Text) << " ";
    QTest::newRow("blank around number") << " 5" << int(K::Text) << " 5";
    QTest::newRow("exponent") << "1e5" << int(K::Text) << "1e5";
    QTest::newRow("formula") << "=1+2" << int(K::Text) << "=1+2";
}

void TestWorkbookRules::typedValues() {
    QFETCH(QString, text);
    QFETCH(int, kind);
    const CellValue v = CellValue::typed(text);
    QCOMPARE(int(v.kind), kind);
    QTEST(v.toText(), "shown");
}

void TestWorkbookRules::layoutColumns() {
    const QStringList archive = layout::archiveColumns();
    QCOMPARE(archive.size(), 47);
    QCOMPARE(archive.first(), QStringLiteral("A"));
    QCOMPARE(archive.at(15), QStringLiteral("P"));
    QCOMPARE(archive.at(16), QStringLiteral("R"));
    QCOMPARE(archive.last(), QStringLiteral("AV"));
    QVERIFY(!archive.contains(QStringLiteral("Q")));
    QCOMPARE(layout::scoreColumns().size(), 16);
    QCOMPARE(layout::scoreColumns().last(), QStringLiteral("R"));
    QCOMPARE(layout::subjectColumns().size(), 13);
    QCOMPARE(layout::subjectColumns().last(), QStringLiteral("N"));
    QCOMPARE(layout::address(layout::kCommentColumn, layout::rowOf(5)), QStringLiteral("AM6"));
    QVERIFY(layout::kNotebookSheet.endsWith(u' '));
}

void TestWorkbookRules::pathsEndInTheWorkbook() {
    const QString tte = paths::ttePath();
    QVERIFY(tte.startsWith(paths::winpath()));
    QVERIFY(tte.endsWith(QStringLiteral("system32/")));
    QCOMPARE(paths::workbookPath(), tte + QStringLiteral("vm21/Velmoravm2.1.xls"));
    QVERIFY(paths::winpath().endsWith(u'/'));
    QVERIFY(!paths::winpath().endsWith(QStringLiteral("//")));
}

namespace {
class RefusingHost : public test::MemoryHost {
public:
    RefusingHost() : MemoryHost({QStringLiteral("设置")}) {}
    void open(const QString&) override { throw HostError(QStringLiteral("打不开")); }
};
}  // namespace

void TestWorkbookRules::failedStartLeavesNoConnection() {
    QVERIFY(!StudentWorkbook::isOpen());
    QVERIFY_THROWS_EXCEPTION(HostError,
                             StudentWorkbook::start(std::make_unique<RefusingHost>(), {}));
    QVERIFY(!StudentWorkbook::isOpen());
    QVERIFY_THROWS_EXCEPTION(HostError, StudentWorkbook::read(layout::kSettingsSheet, "C4"));
}

void TestWorkbookRules::connectionPassesCellsThrough() {
    auto host = std::make_unique<test::MemoryHost>(QStringList{layout::kSettingsSheet});
    test::MemoryHost* raw = host.get();
    StudentWorkbook::start(std::move(host), QStringLiteral("/x/Velmoravm2.1.xls"));
    QVERIFY(raw->shown);
    QCOMPARE(raw->openedPath, QStringLiteral("/x/Velmoravm2.1.xls"));
    StudentWorkbook::write(layout::kSettingsSheet, QStringLiteral("c12"), QStringLiteral("100"));
    QCOMPARE(StudentWorkbook::read(layout::kSettingsSheet, QStringLiteral("C12")),
             QStringLiteral("100"));
    StudentWorkbook::writeRaw(layout::kSettingsSheet, QStringLiteral("C4"), QString());
    QCOMPARE(StudentWorkbook::read(layout::kSettingsSheet, QStringLiteral("C4")), QString());
    QVERIFY_THROWS_EXCEPTION(HostError, StudentWorkbook::read(QStringLiteral("设置 "), "C4"));
    QVERIFY_THROWS_EXCEPTION(HostError, StudentWorkbook::read(layout::kSettingsSheet, "C0"));
    StudentWorkbook::quit();
    QVERIFY(!StudentWorkbook::isOpen());
}

QTEST_GUILESS_MAIN(TestWorkbookRules)
#include "test_workbook.moc"
