// The sheet window shows a sheet as the file describes it: number formats,
// fonts, fills, borders, merged cells, frozen panes; and how fast it paints.
#include "common/fonts.h"
#include "common/singlewindow.h"
#include "fixtures.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/sheetwindow.h"
#include "workbook/embedded/workbookdocument.h"

#include <QHeaderView>
#include <QPlainTextEdit>

#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;

class TestSheetLooks : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void cellsLookAsTheFileSays_data();
    void cellsLookAsTheFileSays();
    void frozenPanesStayInSight();
    void corpusFilesLook_data();
    void corpusFilesLook();
};

namespace {

// A corpus file opened by the embedded host, its window shown.
struct Opened {
    QTemporaryDir dir;
    EmbeddedHost host;
    SheetWindow* window = nullptr;
    explicit Opened(const QString& file) {
        const QString path = dir.filePath("Velmoravm2.1.xls");
        QFile::copy(qEnvironmentVariable("VELMORA_CORPUS") + u'/' + file, path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        host.open(path);
        host.show();
        window = existingWindow<SheetWindow>();
    }
};

}  // namespace

// What the grid paints for a cell, against what python3-xlrd reads in the
// file: the text through its number format, font, colours, alignment and
// the merged range it starts.
void TestSheetLooks::cellsLookAsTheFileSays_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("font");     // family, pixel size, b(old)/i(talic)
    QTest::addColumn<QString>("colours");  // text, fill; "-" for none
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("span");  // rows x columns
    const QString wps = "phpss_RichTextFontSize_wps_zh_sheets.xls";
    const QString ja = "poi_12561-1_ja_multiline_merged.xls";
    // Bold 宋体 is drawn with a Song face that has a bold of its own.
    QTest::newRow("title") << wps << "A1"
                           << "橱柜柜体清单"
                           << "Noto Serif CJK SC 29 b"
                           << "#000000 -" << int(Qt::AlignHCenter | Qt::AlignVCenter) << "1x15";
    QTest::newRow("filled heading")
        << wps << "A9"
        << "标准柜体部分"
        << "Noto Serif CJK SC 12 b"
        << "#000000 #ffcc00" << int(Qt::AlignHCenter | Qt::AlignVCenter) << "1x15";
    QTest::newRow("date format 14") << ja << "J6"
                                    << "2002/7/12"
                                    << "ＭＳ Ｐゴシック 15 "
                                    << "- -" << int(Qt::AlignRight | Qt::AlignBottom) << "1x1";
    QTest::newRow("grey text") << ja << "H7"
                               << "不明"
                               << "ＭＳ Ｐゴシック 15 "
                               << "#c0c0c0 -" << int(Qt::AlignLeft | Qt::AlignBottom) << "1x1";
    QTest::newRow("orange title") << "poi_29982_multiline_long_sst_continue.xls"
                                  << "A1"
                                  << "GERENCIAMENTO PELAS DIRETRIZES - DATASUL TECNOLOGIA"
                                  << "Trebuchet MS 29 b"
                                  << "- #ff9900" << int(Qt::AlignHCenter | Qt::AlignBottom)
                                  << "1x11";
}

void TestSheetLooks::cellsLookAsTheFileSays() {
    QFETCH(QString, file);
    QFETCH(QString, cell);
    Opened o(file);
    const SheetView* view = o.window->view(0);
    const CellRef ref = *parseA1(cell);
    const CellLook look = view->sheetModel()->look(ref.row, ref.column);
    QTEST(look.text, "text");
    const QFont& f = look.style->font;
    QTEST(QStringLiteral("%1 %2 %3%4")
              .arg(f.family())
              .arg(f.pixelSize())
              .arg(f.bold() ? "b" : "", f.italic() ? "i" : ""),
          "font");
    const auto name = [](const QColor& c) { return c.isValid() ? c.name() : QStringLiteral("-"); };
    QTEST(name(look.colour) + u' ' + name(look.style->fill), "colours");
    QTEST(int(look.alignment), "alignment");
    QTEST(QStringLiteral("%1x%2")
              .arg(view->rowSpan(ref.row, ref.column))
              .arg(view->columnSpan(ref.row, ref.column)),
          "span");
}

// Rows 1-3 and columns A-G of this file are frozen: scrolled far down and
// across, the grid still shows them where they were.
void TestSheetLooks::frozenPanesStayInSight() {
    Opened o("poi_12561-1_ja_multiline_merged.xls");
    SheetView* view = o.window->view(0);
    view->resize(900, 600);
    QVERIFY(QTest::qWaitForWindowExposed(o.window));
    const QList<QTableView*> panes = view->findChildren<QTableView*>();
    QCOMPARE(panes.size(), 3);
    view->setCurrentIndex(view->model()->index(150, 30));  // the panes share it
    view->scrollTo(view->model()->index(150, 30), QAbstractItemView::PositionAtTop);
    QVERIFY(view->rowAt(view->viewport()->height() / 2) > 100);
    int corners = 0;
    for (QTableView* pane : panes) {
        QVERIFY(pane->isVisible());
        const QPoint inside(pane->viewport()->width() - 2, pane->viewport()->height() - 2);
        const bool top = pane->rowAt(inside.y()) < 3, left = pane->columnAt(inside.x()) < 7;
        QVERIFY(top || left);
        corners += top && left;
        // A pane scrolls the way it is not frozen, in step with the grid.
        if (!left)
            QCOMPARE(pane->columnAt(inside.x()), view->columnAt(inside.x()));
        if (!top)
            QCOMPARE(pane->rowAt(inside.y()), view->rowAt(inside.y()));
    }
    QCOMPARE(corners, 1);
    // The cell after the frozen columns shows beside them, not under them.
    view->scrollTo(view->model()->index(150, 7));
    QVERIFY(view->columnViewportPosition(7) >=
            panes.first()->horizontalHeader()->sectionPosition(6));
    // A frozen cell is typed into where it shows, and the keys come back.
    view->setFocus();
    view->goTo({1, 1}, {1, 1});
    QTest::keyClick(view, Qt::Key_7);
    auto* editor = view->findChild<QPlainTextEdit*>("cellEditor");
    QVERIFY(editor && editor->isVisible() && editor->parentWidget() != view->viewport());
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(view->sheetModel()->document().read(0, {1, 1}).toText(), QStringLiteral("7"));
    QTest::qWait(10);
    QCOMPARE(QApplication::focusWidget(), view);
}

void TestSheetLooks::corpusFilesLook_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("sheet");
    QTest::newRow("WPS merges") << "phpss_RichTextFontSize_wps_zh_sheets.xls" << 0;
    QTest::newRow("frozen, fills") << "poi_29982_multiline_long_sst_continue.xls" << 0;
    QTest::newRow("frozen Chinese") << "easyexcel_t01_mac2016_zh_multiline.xls" << 0;
    QTest::newRow("dates merged") << "poi_12561-1_ja_multiline_merged.xls" << 0;
    QTest::newRow("zh-tw borders") << "poi_12843-1_zh-tw_40sheets.xls" << 0;
}

void TestSheetLooks::corpusFilesLook() {
    QFETCH(QString, file);
    QFETCH(int, sheet);
    Opened o(file);
    SheetWindow* w = o.window;
    w->showSheet(sheet);
    w->resize(1200, 800);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    const QString name =
        folder + "/sheetwindow-" + QString(QTest::currentDataTag()).replace(' ', '-');
    QTest::qWait(100);
    QVERIFY(w->grab().save(name + ".png"));
    // Scrolled: frozen rows and columns stay, the rest moves beneath them.
    w->view(sheet)->scrollTo(w->view(sheet)->model()->index(60, 20));
    QTest::qWait(100);
    QVERIFY(w->grab().save(name + "-scrolled.png"));
}

QTEST_MAIN(TestSheetLooks)
#include "test_sheetlooks.moc"
