// How cells look (fonts, formats, borders, fills, merges, panes) as the
// engine reads it, checked against python3-xlrd; number formats; column
// widths and row heights saved; cells put back as loaded.
#include "corpusfile.h"
#include "workbook/formula/numberformat.h"
#include "workbook/xls/pagesetup.h"
#include "workbook/xls/sheetdisplay.h"
#include "workbook/xls/sheetlayout.h"
#include "workbook/xls/styles.h"
#include "workbook/xls/xlsworkbook.h"
#include "xlrdview.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <array>

using namespace velmora;
using namespace velmora::xls;

namespace {

QJsonValue colourJson(const Colour& c) {
    return c ? QJsonValue(QStringLiteral("%1").arg(*c, 6, 16, QLatin1Char('0')).toUpper())
             : QJsonValue();
}

QJsonArray lineJson(const BorderLine& l, const QJsonArray& theirs) {
    // A side without a line has no colour worth comparing.
    return {l.style, l.style ? colourJson(l.colour) : theirs[1]};
}

QJsonArray xfJson(const CellStyle& s, const QJsonArray& theirs) {
    const QJsonArray sides = theirs[6].toArray();
    const bool filled = s.pattern != 0;
    return {s.font,
            theirs[1].isNull() ? QJsonValue() : QJsonValue(s.format),
            int(s.horizontal),
            int(s.vertical),
            s.wrap,
            s.indent,
            QJsonArray{lineJson(s.left, sides[0].toArray()), lineJson(s.right, sides[1].toArray()),
                       lineJson(s.top, sides[2].toArray()), lineJson(s.bottom, sides[3].toArray())},
            s.pattern,
            filled ? colourJson(s.patternColour) : theirs[8],
            filled ? colourJson(s.backgroundColour) : theirs[9]};
}

QString json(const QJsonArray& a) {
    return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
}

}  // namespace

class TestXlsStyles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void numberFormats_data();
    void numberFormats();
    void looksAsXlrdReadsThem();
    void writtenLooksReadBack();
    void sizesReachTheFile_data();
    void sizesReachTheFile();
    void cellsPutBackAsLoaded();
};

void TestXlsStyles::numberFormats_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("General whole") << "General" << 12.0 << "12";
    QTest::newRow("General third") << "General" << 1.0 / 3 << "0.333333333";
    QTest::newRow("two decimals") << "0.00" << 3.14159 << "3.14";
    QTest::newRow("half away from zero") << "0.00" << 2.675 << "2.68";
    QTest::newRow("negative") << "0.0" << -0.25 << "-0.3";
    QTest::newRow("padded") << "000" << 7.0 << "007";
    QTest::newRow("no integer placeholder") << ".00" << 12.5 << "12.50";
    QTest::newRow("optional decimals") << "#.##" << 3.0 << "3.";
    QTest::newRow("blank decimals") << "0.0?" << 1.5 << "1.5 ";
    QTest::newRow("percent") << "0%" << 0.856 << "86%";
    QTest::newRow("percent decimals") << "0.00%" << 0.5 << "50.00%";
    QTest::newRow("thousands") << "#,##0" << 1234567.0 << "1,234,567";
    QTest::newRow("thousands negative") << "#,##0.00" << -1234.5 << "-1,234.50";
    QTest::newRow("thousands small") << "#,##0" << 0.0 << "0";
    QTest::newRow("scaled by thousands") << "0.0," << 12345.0 << "12.3";
    QTest::newRow("scientific") << "0.00E+00" << 12345.0 << "1.23E+04";
    QTest::newRow("scientific small") << "0.00E+00" << 0.000123 << "1.23E-04";
    QTest::newRow("negative section") << "#,##0;(#,##0)" << -5.0 << "(5)";
    QTest::newRow("zero section") << "0;-0;\"零\"" << 0.0 << "零";
    QTest::newRow("padding") << "0.00_);(0.00)" << 1.0 << "1.00 ";
    QTest::newRow("currency") << "\"¥\"#,##0.00" << 3.5 << "¥3.50";
    QTest::newRow("locale currency") << "[$¥-804]#,##0" << 1200.0 << "¥1,200";
    QTest::newRow("literal after") << "0\"分\"" << 95.0 << "95分";
    QTest::newRow("condition met") << "[>=90]\"优\";[>=60]\"及格\";\"不及格\"" << 95.0 << "优";
    QTest::newRow("second condition") << "[>=90]\"优\";[>=60]\"及格\";\"不及格\"" << 70.0 << "及格";
    QTest::newRow("no condition met")
        << "[>=90]\"优\";[>=60]\"及格\";\"不及格\"" << 30.0 << "不及格";
    QTest::newRow("Chinese date") << "yyyy\"年\"m\"月\"d\"日\"" << 37865.0 << "2003年9月1日";
    QTest::newRow("built-in 31") << builtInFormatCode(31) << 37865.0 << "2003年9月1日";
    QTest::newRow("built-in 14") << builtInFormatCode(14) << 37865.0 << "2003/9/1";
    QTest::newRow("date and time") << "yyyy-mm-dd hh:mm:ss" << 37865.5 << "2003-09-01 12:00:00";
    QTest::newRow("minutes after hours") << "h:mm" << 0.5 + 5.0 / 1440 << "12:05";
    QTest::newRow("twelve hours") << "h:mm AM/PM" << 0.75 << "6:00 PM";
    QTest::newRow("Chinese half day") << "上午/下午h\"时\"mm\"分\"" << 0.25 << "上午6时00分";
    QTest::newRow("elapsed hours") << "[h]:mm" << 1.5 << "36:00";
    QTest::newRow("weekday") << "aaaa" << 37865.0 << "星期一";
    QTest::newRow("month names") << "d-mmm-yy" << 37865.0 << "1-Sep-03";
    QTest::newRow("phantom leap day") << "yyyy-m-d" << 60.0 << "1900-2-29";
    QTest::newRow("tenths of seconds") << "mm:ss.0" << 1.0 / 86400 * 75.25 << "01:15.3";
}

void TestXlsStyles::numberFormats() {
    QFETCH(QString, code);
    QFETCH(double, value);
    QTEST(formula::NumberFormat(code).number(value).text, "shown");
}

namespace {

// Every font, cell format, merged range and frozen pane of the files, as
// xlrd reads them; counts what was compared.
struct Compared {
    int merges = 0, frozen = 0, filled = 0;
};

void compareWithXlrd(const QStringList& files, Compared& seen) {
    const QList<QJsonObject> views = test::xlrdView(files, QStringLiteral("xlrd_styles.py"));
    for (qsizetype f = 0; f < files.size(); ++f) {
        const QString name = QFileInfo(files[f]).fileName();
        const QJsonObject& view = views[f];
        QVERIFY2(!view.contains("error"), qPrintable(name));
        const XlsWorkbook book = XlsWorkbook::load(files[f]);
        const WorkbookStyles& styles = book.styles();
        const QJsonArray fonts = view["fonts"].toArray();
        QCOMPARE(qsizetype(styles.fonts.size()), fonts.size());
        for (qsizetype i = 0; i < fonts.size(); ++i) {
            if (i == 4)
                continue;
            const FontStyle& ours = styles.fonts[size_t(i)];
            const QJsonArray mine{ours.name,
                                  int(std::lround(ours.points * 20)),
                                  ours.bold,
                                  ours.italic,
                                  ours.underline,
                                  ours.strikeOut,
                                  colourJson(ours.colour)};
            QVERIFY2(mine == fonts[i].toArray(),
                     qPrintable(QStringLiteral("%1 font %2: %3").arg(name).arg(i).arg(json(mine))));
        }
        const QJsonArray xfs = view["xfs"].toArray();
        QCOMPARE(qsizetype(styles.styles.size()), xfs.size());
        for (qsizetype i = 0; i < xfs.size(); ++i) {
            const QJsonArray theirs = xfs[i].toArray();
            const QJsonArray mine = xfJson(styles.styles[size_t(i)], theirs);
            QVERIFY2(mine == theirs, qPrintable(QStringLiteral("%1 XF %2: %3 against %4")
                                                    .arg(name)
                                                    .arg(i)
                                                    .arg(json(mine), json(theirs))));
            seen.filled += styles.styles[size_t(i)].pattern != 0;
        }
        const QJsonArray sheets = view["sheets"].toArray();
        QCOMPARE(book.sheetNames().size(), sheets.size());
        for (qsizetype s = 0; s < sheets.size(); ++s) {
            const SheetDisplay d = book.display(int(s));
            std::vector<std::array<int, 4>> ranges;
            for (const MergedRange& m : d.merged)
                ranges.push_back({m.firstRow, m.lastRow + 1, m.firstColumn, m.lastColumn + 1});
            std::sort(ranges.begin(), ranges.end());
            QJsonArray mine;
            for (const auto& r : ranges) mine << QJsonArray{r[0], r[1], r[2], r[3]};
            QJsonArray theirs;
            for (const QJsonValue& m : sheets[s]["merged"].toArray()) {
                const QJsonArray r = m.toArray();
                if (r[1].toInt() - r[0].toInt() > 1 || r[3].toInt() - r[2].toInt() > 1)
                    theirs << r;
            }
            QVERIFY2(mine == theirs, qPrintable(QStringLiteral("%1 sheet %2").arg(name).arg(s)));
            QCOMPARE(sheets[s]["frozen"].toArray(), (QJsonArray{d.frozenRows, d.frozenColumns}));
            seen.merges += int(d.merged.size());
            seen.frozen += d.frozenRows + d.frozenColumns > 0;
        }
    }
}

// A sheet written with looks of every kind, sizes, merges, panes and a page
// setup.
std::vector<SheetLayout> writtenLayouts() {
    std::vector<SheetLayout> sheets(2);
    SheetLayout& s = sheets[0];
    s.name = QStringLiteral("成绩");
    CellAppearance heading = defaultAppearance();
    heading.font.bold = true;
    heading.font.points = 14;
    heading.style.horizontal = HAlign::Center;
    heading.style.vertical = VAlign::Center;
    heading.style.wrap = true;
    heading.style.pattern = 1;
    heading.style.patternColour = 0xDDEBF7;  // no palette entry has it
    heading.style.left = heading.style.right = heading.style.top = {1, std::nullopt};
    heading.style.bottom = {2, 0xC00000};
    CellAppearance mean = defaultAppearance();
    mean.style.format = QStringLiteral("0.0");
    mean.font.colour = 0x0000FF;
    CellAppearance rate = defaultAppearance();
    rate.style.format = QStringLiteral("0.0%");
    rate.style.indent = 2;
    rate.style.horizontal = HAlign::Right;
    CellAppearance plain = defaultAppearance();
    plain.style.format = QStringLiteral("0.00");  // built in
    plain.font.italic = true;
    plain.font.name = QStringLiteral("Arial");
    for (int c = 0; c < 4; ++c) s.cells[{0, c}] = heading;
    s.cells[{1, 1}] = mean;
    s.cells[{1, 2}] = rate;
    s.cells[{2, 1}] = plain;
    s.cells[{2, 2}] = defaultAppearance();  // no cell of its own
    s.merged = {{0, 0, 0, 1}, {3, 5, 2, 3}};
    s.frozenRows = 1;
    s.frozenColumns = 2;
    s.gridlines = false;
    s.columnWidths = {{0, 20}, {5, 0}};
    s.rowHeights = {{0, 30}, {40, 12.75}};
    s.page.landscape = true;
    s.page.fitToPages = true;
    s.page.fitWidth = 1;
    s.page.fitHeight = 0;
    s.page.left = 0.5;
    s.page.top = 0.8;
    s.page.header = 0.25;
    s.page.centreHorizontally = true;
    s.page.headerText = QStringLiteral("&C&A");
    s.page.footerText = QStringLiteral("&C第 &P 页");
    s.page.rowBreaks = {20, 40};
    s.page.printArea = {{0, 0}, {99, 17}};
    s.page.titleRows = {0, 0};
    s.page.titleColumns = {0, 1};
    sheets[1].name = QStringLiteral("空白");
    sheets[1].page.paper = 8;  // A3
    sheets[1].page.titleRows = {1, 2};
    return sheets;
}

}  // namespace

// Every font, cell format, merged range and frozen pane of every corpus
// file, as xlrd reads them.
void TestXlsStyles::looksAsXlrdReadsThem() {
    if (!test::xlrdAvailable())
        QSKIP("python3-xlrd is not installed");
    Compared seen;
    compareWithXlrd(test::corpusFiles(), seen);
    // The corpus has to exercise what is compared.
    QVERIFY(seen.merges > 10 && seen.filled > 0);
    qInfo("%d merged ranges, %d sheets with frozen panes, %d filled formats", seen.merges,
          seen.frozen, seen.filled);
}

// What a new workbook is written with is what the engine and xlrd read
// back: each cell's look (equal looks sharing one format, the default look
// none of its own), merges, panes, sizes and the page setup with its
// print area and titles.
void TestXlsStyles::writtenLooksReadBack() {
    const std::vector<SheetLayout> layouts = writtenLayouts();
    QTemporaryDir dir;
    const QString path = dir.filePath("looks.xls");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(XlsWorkbook::create(layouts).toBytes());
    out.close();
    const XlsWorkbook book = XlsWorkbook::load(path);
    const WorkbookStyles& styles = book.styles();
    for (const auto& [at, look] : layouts[0].cells) {
        const CellStyle& style = styles.style(book.cellStyle(0, at));
        CellStyle expected = look.style;
        expected.font = style.font;
        QVERIFY2(style == expected && styles.font(style.font) == look.font, qPrintable(a1(at)));
    }
    QCOMPARE(book.cellStyle(0, {0, 0}), book.cellStyle(0, {0, 3}));
    QCOMPARE(book.cellStyle(0, {2, 2}), 15);
    const SheetDisplay d = book.display(0);
    QCOMPARE(int(d.merged.size()), 2);
    QCOMPARE(d.merged[1].lastRow, 5);
    QCOMPARE(d.frozenRows, 1);
    QCOMPARE(d.frozenColumns, 2);
    QVERIFY(!d.gridlines);
    QCOMPARE(book.columnWidthPx(0, 5), 0);
    QCOMPARE(book.rowHeightPx(0, 0), 40);
    QCOMPARE(book.rowHeightPx(0, 40), 17);
    for (int s = 0; s < 2; ++s)
        QVERIFY2(book.pageSetup(s) == layouts[size_t(s)].page, qPrintable(layouts[size_t(s)].name));
    if (!test::xlrdAvailable())
        QSKIP("python3-xlrd is not installed");
    Compared seen;
    compareWithXlrd({path}, seen);
    QCOMPARE(seen.merges, 2);
}

void TestXlsStyles::sizesReachTheFile_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("width");  // px; 0 hides
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("height");
    QTest::newRow("Excel, inside a column run")
        << "poi_12843-2_zh_multiline_rich.xls" << 2 << 150 << 3 << 40;
    QTest::newRow("Excel, hidden column, empty row")
        << "poi_19599-2_zh_sheetnames.xls" << 1 << 0 << 900 << 30;
    QTest::newRow("LibreOffice, no INDEX")
        << "sheetjs_LONumbers_libreoffice.xls" << 40 << 33 << 0 << 0;
    QTest::newRow("WPS") << "extrame_negatives_wps_zh.xls" << 0 << 200 << 1 << 60;
}

// A changed width or height is in the file as other readers see it; every
// other column, row and cell is as it was.
void TestXlsStyles::sizesReachTheFile() {
    QFETCH(QString, file);
    QFETCH(int, column);
    QFETCH(int, width);
    QFETCH(int, row);
    QFETCH(int, height);
    XlsWorkbook book = XlsWorkbook::fromBytes(test::corpusBytes(file));
    book.setColumnWidthPx(0, column, width);
    book.setRowHeightPx(0, row, height);
    QVERIFY(book.isModified());
    QTemporaryDir dir;
    const QString before = dir.filePath("before.xls"), after = dir.filePath("after.xls");
    QFile::copy(qEnvironmentVariable("VELMORA_CORPUS") + u'/' + file, before);
    QFile out(after);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(book.toBytes());
    out.close();

    const XlsWorkbook back = XlsWorkbook::load(after);
    QCOMPARE(back.columnWidthPx(0, column), width);
    QCOMPARE(back.rowHeightPx(0, row), height);
    if (!test::xlrdAvailable())
        return;
    const QList<QJsonObject> views = test::xlrdView({before, after});
    QJsonObject was = views[0]["sheets"][0].toObject(), now = views[1]["sheets"][0].toObject();
    QCOMPARE(now["cells"], was["cells"]);
    const QString c = QString::number(column), r = QString::number(row);
    QCOMPARE(now["columns"][c][1].toInt(), int(width == 0));
    if (width > 0) {
        // In 1/256 of a digit's width, a digit being 5 to 20 px wide.
        const int units = now["columns"][c][0].toInt();
        QVERIFY2(units >= width * 256 / 20 && units <= width * 256 / 5,
                 qPrintable(QString::number(units)));
    }
    QCOMPARE(now["rows"][r][1].toInt(), int(height == 0));
    if (height > 0)
        QCOMPARE(now["rows"][r][0].toInt(), height * 15);
    QJsonObject wasColumns = was["columns"].toObject(), nowColumns = now["columns"].toObject();
    QJsonObject wasRows = was["rows"].toObject(), nowRows = now["rows"].toObject();
    for (QJsonObject* o : {&wasColumns, &nowColumns}) o->remove(c);
    for (QJsonObject* o : {&wasRows, &nowRows}) o->remove(r);
    QCOMPARE(nowColumns, wasColumns);
    QCOMPARE(nowRows, wasRows);
}

// Whatever a cell held when loaded (a formula, a shared formula, a
// boolean, a rich text), putting back its state after writes gives the
// file back to the byte.
void TestXlsStyles::cellsPutBackAsLoaded() {
    for (const QString file : {"poi_60460_excel97_formulas.xls", "sheetjs_ErrorTypes.xls",
                               "sheetjs_rich_text_stress.xls"}) {
        const QByteArray bytes = test::corpusBytes(file);
        XlsWorkbook book = XlsWorkbook::fromBytes(bytes);
        QList<CellRef> cells;
        book.forEachCell(0, [&](CellRef ref, const CellValue&) {
            if (cells.size() < 40)
                cells << ref;
        });
        QVERIFY(!cells.isEmpty());
        int formulas = 0;
        for (const CellRef& ref : cells) {
            const CellValue was = book.cell(0, ref);
            const bool formula = book.hasFormula(0, ref);
            formulas += formula;
            const CellState state = book.cellState(0, ref);
            QCOMPARE(state.kind, CellState::Kind::AsLoaded);
            book.setNumber(0, ref, 42);
            QVERIFY(!book.hasFormula(0, ref));
            const CellState written = book.cellState(0, ref);
            book.setText(0, ref, QStringLiteral("x"));
            book.restoreCellState(0, ref, written);
            QCOMPARE(book.cell(0, ref).number, 42.0);
            book.restoreCellState(0, ref, state);
            QCOMPARE(book.cell(0, ref), was);
            QCOMPARE(book.hasFormula(0, ref), formula);
        }
        QVERIFY(!book.isModified());
        QCOMPARE(book.toBytes(), bytes);
        qInfo("%s: %d of %d cells were formulas", qPrintable(file), formulas, int(cells.size()));
    }
}

QTEST_GUILESS_MAIN(TestXlsStyles)
#include "test_xls_styles.moc"
