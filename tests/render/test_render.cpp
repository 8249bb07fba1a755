// Printing a sheet: which cells go on which page, headers and footers, and
// the PDF of a workbook written with page setups, against LibreOffice's
// print of the same file.
#include "libreoffice.h"
#include "pdfpages.h"
#include "workbook/hosterror.h"
#include "workbook/render/fontfaces.h"
#include "workbook/render/headerfooter.h"
#include "workbook/render/pageplan.h"
#include "workbook/render/sheetprint.h"
#include "workbook/xls/sheetlayout.h"
#include "workbook/xls/xlsworkbook.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;

namespace {

// "0-4|0-1": rows 0 to 4 and columns 0 to 1; "0,5-6|0-1": row 0, then 5 to 6.
QString spans(const std::vector<int>& v) {
    QStringList parts;
    for (size_t i = 0; i < v.size();) {
        size_t j = i;
        while (j + 1 < v.size() && v[j + 1] == v[j] + 1) ++j;
        parts << (i == j ? QString::number(v[i]) : QStringLiteral("%1-%2").arg(v[i]).arg(v[j]));
        i = j + 1;
    }
    return parts.join(u',');
}

// A list sheet printed on landscape pages of ten rows under a repeated
// heading, its print area leaving out column D; a card sheet of 150 rows
// fitted onto one portrait page, its first cell filled red.
xls::XlsWorkbook printedWorkbook() {
    std::vector<xls::SheetLayout> sheets(2);
    xls::SheetLayout& list = sheets[0];
    list.name = QStringLiteral("清单");
    list.page.landscape = true;
    list.page.printArea = {{0, 0}, {39, 1}};
    list.page.titleRows = {0, 0};
    list.page.rowBreaks = {10, 20, 30};
    list.page.footerText = QStringLiteral("&C第 &P 页，共 &N 页");
    xls::SheetLayout& card = sheets[1];
    card.name = QStringLiteral("卡片");
    card.page.fitToPages = true;
    card.page.fitWidth = card.page.fitHeight = 1;
    xls::CellAppearance red = xls::defaultAppearance();
    red.style.pattern = 1;
    red.style.patternColour = 0xFF0000;
    red.style.left = red.style.right = red.style.top = red.style.bottom = {5, std::nullopt};
    card.cells[{0, 0}] = red;
    xls::XlsWorkbook book = xls::XlsWorkbook::create(sheets);
    book.setText(0, {0, 0}, QStringLiteral("标题"));
    for (int r = 1; r < 60; ++r) {
        book.setText(0, {r, 0}, QStringLiteral("行%1").arg(r));
        book.setText(0, {r, 3}, QStringLiteral("界外"));
    }
    for (int r = 0; r < 150; ++r) book.setText(1, {r, 1}, QStringLiteral("第%1行").arg(r + 1));
    return book;
}

}  // namespace

class TestRender : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void pagePlan_data();
    void pagePlan();
    void headerFooter_data();
    void headerFooter();
    void printedLikeLibreOffice();
};

void TestRender::pagePlan_data() {
    QTest::addColumn<xls::PageSetup>("setup");
    QTest::addColumn<QString>("range");        // first and last cell
    QTest::addColumn<QStringList>("pages");    // rows|columns of each page
    QTest::addColumn<double>("largestScale");  // the scale is at most this
    // Columns 100 px, rows 20 px, on paper of 250 by 100 px without margins.
    xls::PageSetup plain;
    plain.left = plain.right = plain.top = plain.bottom = 0;
    QTest::newRow("down, then over")
        << plain << "A1:D6" << QStringList{"0-4|0-1", "5|0-1", "0-4|2-3", "5|2-3"} << 1.0;
    xls::PageSetup broken = plain;
    broken.rowBreaks = {2};
    QTest::newRow("a break begins a page")
        << broken << "A1:B6" << QStringList{"0-1|0-1", "2-5|0-1"} << 1.0;
    xls::PageSetup titled = plain;
    titled.titleRows = {0, 0};
    QTest::newRow("title rows on the pages after the first")
        << titled << "A1:B9" << QStringList{"0-4|0-1", "0,5-8|0-1"} << 1.0;
    xls::PageSetup area = plain;
    QTest::newRow("a range that starts further in")
        << area << "B2:C3" << QStringList{"1-2|1-2"} << 1.0;
    xls::PageSetup fitted = plain;
    fitted.fitToPages = true;
    fitted.fitWidth = 1;
    fitted.fitHeight = 0;
    QTest::newRow("fitted one page wide") << fitted << "A1:D6" << QStringList{"0-5|0-3"} << 0.625;
    xls::PageSetup half = plain;
    half.scale = 50;
    QTest::newRow("half size") << half << "A1:D8" << QStringList{"0-7|0-3"} << 0.5;
}

void TestRender::pagePlan() {
    QFETCH(xls::PageSetup, setup);
    QFETCH(QString, range);
    SheetSizes sizes;
    sizes.columnWidths = QList<int>(10, 100);
    sizes.rowHeights = QList<int>(30, 20);
    const auto first = parseA1(range.section(u':', 0, 0)), last = parseA1(range.section(u':', 1));
    const PagePlan plan = planPages(setup, QSizeF(250, 100), sizes, *first, *last);
    QStringList pages;
    for (const PrintedPage& p : plan.pages) pages << spans(p.rows) + u'|' + spans(p.columns);
    QTEST(pages, "pages");
    QFETCH(double, largestScale);
    QVERIFY2(plan.scale <= largestScale && plan.scale > largestScale * 0.9,
             qPrintable(QString::number(plan.scale)));
}

void TestRender::headerFooter_data() {
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QStringList>("parts");  // left, centre, right
    QTest::addColumn<double>("points");      // of the centre
    QTest::addColumn<bool>("bold");          // the centre
    QTest::newRow("page of pages")
        << "&C第 &P 页，共 &N 页" << QStringList{"", "第 2 页，共 5 页", ""} << 0.0 << false;
    QTest::newRow("plain text is centred")
        << "学生手册" << QStringList{"", "学生手册", ""} << 0.0 << false;
    QTest::newRow("three parts") << "&L&A&C&F&R&&" << QStringList{"率", "班级.xls", "&"} << 0.0
                                 << false;
    QTest::newRow("font, style and size")
        << "&C&\"宋体,加粗\"&14标题" << QStringList{"", "标题", ""} << 14.0 << true;
    QTest::newRow("bold toggled") << "&B粗&B" << QStringList{"", "粗", ""} << 0.0 << false;
}

void TestRender::headerFooter() {
    QFETCH(QString, codes);
    PageFields fields;
    fields.page = 2;
    fields.pages = 5;
    fields.sheet = QStringLiteral("率");
    fields.file = QStringLiteral("班级.xls");
    const HeaderParts parts = headerParts(codes, fields);
    QTEST((QStringList{parts.left.text, parts.centre.text, parts.right.text}), "parts");
    QTEST(parts.centre.points, "points");
    QTEST(parts.centre.bold, "bold");
}

// Our print and LibreOffice's of the same file: the same pages, paper and
// orientation, the title row on every page, the footer's page number, no
// cell from outside the print area; the card's red fill shows.
void TestRender::printedLikeLibreOffice() {
    if (!test::pdfToolsAvailable())
        QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    const QString file = dir.filePath("printed.xls");
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(printedWorkbook().toBytes());
    out.close();
    const xls::XlsWorkbook book = xls::XlsWorkbook::load(file);
    QList<test::PdfPage> ours;
    for (int s = 0; s < 2; ++s) {
        const QString pdf = dir.filePath(QStringLiteral("ours%1.pdf").arg(s));
        writeSheetPdf(book, s, file, pdf);
        ours += test::pdfPages(pdf);
    }
    const auto check = [](const QList<test::PdfPage>& pages, const char* who) {
        QVERIFY2(pages.size() == 5, who);
        for (int n = 0; n < 4; ++n) {
            QVERIFY2(pages[n].size == QSize(842, 595), who);
            QVERIFY2(pages[n].text.contains(QStringLiteral("标题")), who);
            // LibreOffice counts &N over the whole print, all sheets.
            QVERIFY2(pages[n].text.contains(QStringLiteral("第 %1 页，共 ").arg(n + 1)), who);
            QVERIFY2(!pages[n].text.contains(QStringLiteral("界外")), who);
        }
        QVERIFY2(pages[0].text.contains(QStringLiteral("行9")) &&
                     !pages[0].text.contains(QStringLiteral("行10")),
                 who);
        QVERIFY2(pages[4].size == QSize(595, 842), who);
        QVERIFY2(pages[4].text.contains(QStringLiteral("第150行")), who);
    };
    check(ours, "ours");
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"),
                  dir.filePath("ours1.pdf"), dir.filePath("card")});
    QVERIFY(raster.waitForFinished());
    const QImage card(dir.filePath("card-1.png"));
    int red = 0;
    for (int y = 0; y < card.height(); ++y)
        for (int x = 0; x < card.width(); ++x) red += card.pixelColor(x, y) == QColor(255, 0, 0);
    QVERIFY(red > 4);
    QVERIFY_THROWS_EXCEPTION(HostError,
                             writeSheetPdf(book, 0, file, dir.filePath("no/such/dir/x.pdf")));

    if (test::sofficePath().isEmpty())
        QSKIP("LibreOffice is not installed");
    const test::ConversionRun run = test::convertToPdf({file}, dir.path());
    QVERIFY2(run.finished, qPrintable(run.output));
    check(test::pdfPages(dir.filePath("printed.pdf")), "LibreOffice");
}

QTEST_MAIN(TestRender)
#include "test_render.moc"
