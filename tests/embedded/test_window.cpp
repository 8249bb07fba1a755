// The sheet window: tabs, selection, typing into the grid, saving and
// printing, as a teacher uses them.
#include "common/fonts.h"
#include "common/messages.h"
#include "common/savequestion.h"
#include "common/singlewindow.h"
#include "fixtures.h"
#include "workbook/atomicfile.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/sheetwindow.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"
#include "workbook/xls/xlsworkbook.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace velmora;
using namespace velmora::test;
using namespace velmora::layout;

namespace {

const QStringList kSheets = {kSettingsSheet, kArchiveSheet, QStringLiteral("成绩&排名"),
                             kNotebookSheet};

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Velmoravm2.1.xls"));
    EmbeddedHost host;
    explicit Fixture(WorkbookContent content = {}) {
        if (content.sheets.isEmpty()) {
            content.sheets = kSheets;
            content.cells[kArchiveSheet] = {{"A1", "序号"}, {"C2", "张三"}, {"C3", "李四"}};
        }
        writeWorkbook(path, content);
        host.open(path);
    }
    SheetWindow* window() {
        host.show();
        return existingWindow<SheetWindow>();
    }
    QTabWidget* tabs() { return window()->findChild<QTabWidget*>("sheetTabs"); }
};

// Types into the grid as a person does: the first key opens the cell's
// editor, the rest go to the editor; Chinese arrives as input method commits.
void type(SheetView* view, const QString& text) {
    for (QChar c : text) {
        QWidget* target = view->findChild<QPlainTextEdit*>("cellEditor");
        if (!target)
            target = view;
        if (c.unicode() < 0x80) {
            QTest::keyClick(target, c.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(c);
            QApplication::sendEvent(target, &commit);
        }
    }
}

// Whether the right half of a cell, as the grid shows it now, holds text
// (dark pixels; the grid lines at its edges are left out).
bool inkInRightHalf(SheetView* view, int row, int column) {
    QCoreApplication::processEvents();
    const QImage shown = view->viewport()->grab().toImage();
    const QRect cell = view->visualRect(view->model()->index(row, column));
    for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
        for (int x = cell.center().x(); x < cell.right() - 1; ++x)
            if (QColor(shown.pixel(x, y)).lightness() < 100)
                return true;
    return false;
}

void press(SheetView* view, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* editor = view->findChild<QPlainTextEdit*>("cellEditor");
    QTest::keyClick(editor && editor->isVisible() ? editor : view, key, modifiers);
}

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void cleanup() { setAtomicWriteProbe({}); }
    void tabsInWorkbookOrder();
    void selectBringsTheSheet_data();
    void selectBringsTheSheet();
    void typing_data();
    void typing();
    void hostWritesShowInTheGrid();
    void formulaResultsFollowWrites();
    void longTextsRunOn_data();
    void longTextsRunOn();
    void deleteEmptiesSelectedCells();
    void ctrlSSaves();
    void failedSaveIsReported();
    void closingOnlyHides();
    void rowsOfTheGrid_data();
    void rowsOfTheGrid();
    void sizesFromTheFile();
    void saveQuestion_data();
    void saveQuestion();
    void largeSheetOpensQuickly();
    void archiveSheetLooksRight();
};

void TestWindow::tabsInWorkbookOrder() {
    Fixture f;
    QTabWidget* tabs = f.tabs();
    QCOMPARE(tabs->count(), kSheets.size());
    for (int i = 0; i < kSheets.size(); ++i)
        QCOMPARE(tabs->tabText(i).replace("&&", "&"), kSheets[i]);
    QVERIFY(f.window()->windowTitle().startsWith("Velmoravm2.1.xls"));
    QVERIFY(!f.window()->isWindowModified());
}

void TestWindow::selectBringsTheSheet_data() {
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<int>("tab");  // -1: refused, the current tab stays
    QTest::newRow("archive") << kArchiveSheet << 1;
    QTest::newRow("trailing blank") << kNotebookSheet << 3;
    QTest::newRow("ampersand") << "成绩&排名" << 2;
    QTest::newRow("without the blank") << "打印到班主任工作笔记上" << -1;
    QTest::newRow("unknown") << "率" << -1;
}

void TestWindow::selectBringsTheSheet() {
    QFETCH(QString, sheet);
    QFETCH(int, tab);
    Fixture f;
    f.window()->hide();
    if (tab < 0) {
        QVERIFY_THROWS_EXCEPTION(HostError, f.host.select(sheet));
        QCOMPARE(f.tabs()->currentIndex(), 0);
        return;
    }
    f.host.select(sheet);
    SheetWindow* w = existingWindow<SheetWindow>();
    QVERIFY(w->isVisible());
    QCOMPARE(w->currentSheet(), tab);
    QCOMPARE(f.tabs()->currentWidget(), w->view(tab));
}

void TestWindow::typing_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("keys");  // '|' is Alt+Enter, '^' is F2
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("kind");
    QTest::newRow("number") << "D2"
                            << "12"
                            << "12" << int(CellValue::Kind::Number);
    QTest::newRow("fraction") << "D2"
                              << "-0.5"
                              << "-0.5" << int(CellValue::Kind::Number);
    QTest::newRow("text") << "D2"
                          << "abc"
                          << "abc" << int(CellValue::Kind::Text);
    QTest::newRow("Chinese") << "D2"
                             << "王五"
                             << "王五" << int(CellValue::Kind::Text);
    QTest::newRow("typing replaces") << "C2"
                                     << "赵六"
                                     << "赵六" << int(CellValue::Kind::Text);
    QTest::newRow("F2 appends") << "C2"
                                << "^丰"
                                << "张三丰" << int(CellValue::Kind::Text);
    QTest::newRow("two lines") << "D2"
                               << "ab|cd"
                               << "ab\ncd" << int(CellValue::Kind::Text);
}

void TestWindow::typing() {
    QFETCH(QString, cell);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(int, kind);
    Fixture f;
    f.host.select(kArchiveSheet);
    SheetView* view = f.window()->view(1);
    const CellRef ref = *parseA1(cell);
    view->setCurrentIndex(view->model()->index(ref.row, ref.column));
    for (const QString& part : keys.split('|')) {
        if (part != keys.split('|').first())
            press(view, Qt::Key_Return, Qt::AltModifier);
        if (part.startsWith('^')) {
            press(view, Qt::Key_F2);
            type(view, part.mid(1));
        } else {
            type(view, part);
        }
    }
    press(view, Qt::Key_Return);
    const CellValue v = f.host.read(kArchiveSheet, cell);
    QCOMPARE(v.toText(), expected);
    QCOMPARE(int(v.kind), kind);
    QCOMPARE(view->currentIndex().row(), ref.row + 1);  // Enter moves down
    QVERIFY(f.window()->isWindowModified());
    QVERIFY(f.host.hasUnsavedChanges());
}

void TestWindow::hostWritesShowInTheGrid() {
    Fixture f;
    SheetView* view = f.window()->view(1);
    const int rows = view->model()->rowCount();
    f.host.writeRaw(kArchiveSheet, "AV2", "在校表现良好");
    QCOMPARE(view->model()->index(1, 47).data().toString(), QStringLiteral("在校表现良好"));
    const int oneLine = view->rowHeight(2);
    f.host.writeRaw(kArchiveSheet, "AU3", "一\n二\n三");
    QVERIFY(view->rowHeight(2) >= 3 * view->fontMetrics().lineSpacing());
    QVERIFY(view->rowHeight(2) > oneLine);
    f.host.writeRaw(kArchiveSheet, QStringLiteral("B%1").arg(rows + 50), "远处");
    QVERIFY(view->model()->rowCount() > rows + 50);
    QCOMPARE(view->model()->index(rows + 49, 1).data().toString(), QStringLiteral("远处"));
}

// A write recomputes the formulas reading the cell, and the grid repaints
// them, on another sheet too.
void TestWindow::formulaResultsFollowWrites() {
    WorkbookContent content;
    content.sheets = kSheets;
    content.cells[kArchiveSheet] = {{"C2", "张三"}};
    content.formulas[kSheets[2]] = {{"B2", "学生档案!C2&\"同学\""}};
    Fixture f(content);
    QAbstractItemModel* model = f.window()->view(2)->model();
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("张三同学"));
    QSignalSpy repainted(model, &QAbstractItemModel::dataChanged);
    f.host.writeRaw(kArchiveSheet, "C2", "王五");
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("王五同学"));
    QVERIFY(std::any_of(repainted.begin(), repainted.end(), [](const QList<QVariant>& args) {
        const QModelIndex at = args[0].toModelIndex();
        return at.row() == 1 && at.column() == 1;
    }));
}

// A one-line text too wide for its cell runs on over empty cells to its
// right, as in spreadsheet programs, whichever cells are painted.
void TestWindow::longTextsRunOn_data() {
    QTest::addColumn<QString>("a2");
    QTest::addColumn<QString>("b2");
    QTest::addColumn<bool>("shownInB2");
    const QString longText = QStringLiteral("南京市鼓楼区北京西路十二号三幢四〇一室");
    QTest::newRow("over an empty neighbour") << longText << "" << true;
    QTest::newRow("not over a filled one") << longText << "乙" << false;
    QTest::newRow("several lines stay in the cell") << longText + "\n" + longText << "" << false;
    QTest::newRow("a number does not run on") << "123456789012345678"
                                              << "" << false;
    QTest::newRow("a short text") << "甲"
                                  << "" << false;
}

void TestWindow::longTextsRunOn() {
    QFETCH(QString, a2);
    QFETCH(QString, b2);
    QFETCH(bool, shownInB2);
    Fixture f;
    f.host.select(kArchiveSheet);
    SheetView* view = f.window()->view(1);
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    f.host.write(kArchiveSheet, "B2", "乙");
    f.host.write(kArchiveSheet, "A2", a2);
    f.host.write(kArchiveSheet, "B2", b2);  // only B2 is changed last
    QCOMPARE(inkInRightHalf(view, 1, 1), shownInB2);
    // Scrolled so that the text's own cell is out of sight.
    view->horizontalScrollBar()->setValue(1);
    QCOMPARE(view->columnAt(0), 1);
    QCOMPARE(inkInRightHalf(view, 1, 1), shownInB2);
}

void TestWindow::deleteEmptiesSelectedCells() {
    Fixture f;
    f.host.select(kArchiveSheet);
    SheetView* view = f.window()->view(1);
    view->selectionModel()->select(
        QItemSelection(view->model()->index(1, 2), view->model()->index(2, 2)),
        QItemSelectionModel::ClearAndSelect);
    press(view, Qt::Key_Delete);
    QVERIFY(f.host.read(kArchiveSheet, "C2").isEmpty());
    QVERIFY(f.host.read(kArchiveSheet, "C3").isEmpty());
    QCOMPARE(f.host.read(kArchiveSheet, "A1").toText(), QStringLiteral("序号"));
}

void TestWindow::ctrlSSaves() {
    Fixture f;
    SheetWindow* w = f.window();
    f.host.writeRaw(kArchiveSheet, "C4", "保存我");
    QVERIFY(w->isWindowModified());
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->view(0), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!w->isWindowModified());
    const xls::XlsWorkbook saved = xls::XlsWorkbook::load(f.path);
    QCOMPARE(saved.cell(1, *parseA1(u"C4")).toText(), QStringLiteral("保存我"));
}

void TestWindow::failedSaveIsReported() {
    Fixture f;
    SheetWindow* w = f.window();
    f.host.writeRaw(kArchiveSheet, "C4", "保存不了");
    const QByteArray before = fileBytes(f.path);
    setAtomicWriteProbe([](const char* step) {
        if (qstrcmp(step, "flush") == 0)
            throw HostError(QStringLiteral("磁盘已满"));
    });
    MessageRecorder messages;
    w->saveWorkbook();
    QCOMPARE(messages.messages().size(), 1);
    QVERIFY(messages.texts().first().contains("磁盘已满"));
    QVERIFY(w->isWindowModified());
    QCOMPARE(fileBytes(f.path), before);
}

void TestWindow::closingOnlyHides() {
    Fixture f;
    SheetWindow* w = f.window();
    QVERIFY(w->isVisible());
    w->close();
    QVERIFY(!w->isVisible());
    QCOMPARE(existingWindow<SheetWindow>(), w);
    QCOMPARE(f.host.read(kArchiveSheet, "C2").toText(), QStringLiteral("张三"));
    f.host.show();
    QVERIFY(w->isVisible());
    f.host.quit();  // quitting ends it for good
    QVERIFY(existingWindow<SheetWindow>() == nullptr);
}

void TestWindow::rowsOfTheGrid_data() {
    QTest::addColumn<QString>("lastCell");  // empty: an empty sheet
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("afterFetch");
    QTest::newRow("empty sheet") << "" << 200 << 300;
    QTest::newRow("a class") << "AV61" << 200 << 300;
    QTest::newRow("past the minimum") << "B500" << 600 << 700;
    QTest::newRow("near the end") << "A65500" << 65536 << 65536;
}

void TestWindow::rowsOfTheGrid() {
    QFETCH(QString, lastCell);
    WorkbookContent content;
    content.sheets = {kArchiveSheet};
    if (!lastCell.isEmpty())
        content.cells[kArchiveSheet] = {{lastCell, "x"}};
    Fixture f(content);
    QAbstractItemModel* model = f.window()->view(0)->model();
    QTEST(model->rowCount(), "rows");
    QCOMPARE(model->columnCount(), 256);
    QCOMPARE(model->headerData(255, Qt::Horizontal).toString(), QStringLiteral("IV"));
    QCOMPARE(model->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    if (model->canFetchMore({}))
        model->fetchMore({});
    QTEST(model->rowCount(), "afterFetch");
}

void TestWindow::sizesFromTheFile() {
    const QString corpus = qEnvironmentVariable("VELMORA_CORPUS");
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmoravm2.1.xls");
    QVERIFY(QFile::copy(corpus + "/poi_12843-2_zh_multiline_rich.xls", path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EmbeddedHost host;
    host.open(path);
    host.show();
    SheetView* view = existingWindow<SheetWindow>()->view(0);
    const xls::XlsWorkbook book = xls::XlsWorkbook::load(path);
    int differing = 0;
    for (int c = 0; c < 30; ++c) {
        const int w = book.columnWidthPx(0, c);
        QCOMPARE(view->isColumnHidden(c), w <= 0);
        if (w > 0)
            QCOMPARE(view->columnWidth(c), w);
        differing += w != book.columnWidthPx(0, 200);
    }
    // Rows as high as the file says; rows with cells of several lines higher
    // where those lines need it.
    QSet<int> tall;
    book.forEachCell(0, [&tall](CellRef ref, const CellValue& v) {
        if (v.toText().contains('\n'))
            tall.insert(ref.row);
    });
    QVERIFY(!tall.isEmpty());
    for (int r = 0; r <= book.lastCell(0).row; ++r) {
        const int h = book.rowHeightPx(0, r);
        QCOMPARE(view->isRowHidden(r), h <= 0);
        if (h > 0 && !tall.contains(r))
            QCOMPARE(view->rowHeight(r), h);
        else if (h > 0)
            QVERIFY(view->rowHeight(r) >= h);
    }
    QVERIFY2(differing > 0, "the file has no column of its own width: pick another file");
}

void TestWindow::saveQuestion_data() {
    QTest::addColumn<QString>("press");  // a button's text, or "Esc"
    QTest::addColumn<SaveAnswer>("save");
    QTest::newRow("保存") << "保存" << SaveAnswer::Save;
    QTest::newRow("不保存") << "不保存" << SaveAnswer::Discard;
    QTest::newRow("取消") << "取消" << SaveAnswer::Cancel;
    QTest::newRow("Esc goes back to work") << "Esc" << SaveAnswer::Cancel;
}

void TestWindow::saveQuestion() {
    QFETCH(QString, press);
    QStringList buttons;
    // The real dialog is modal: a timer answers it once it is up.
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        answer.stop();
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        if (press == "Esc") {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == press)
                b->click();
    });
    answer.start(20);
    QTEST(askToSaveChanges(nullptr, "Velmoravm2.1.xls"), "save");
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"不保存", "保存", "取消"}));
}

void TestWindow::largeSheetOpensQuickly() {
    WorkbookContent content;
    content.sheets = {kSettingsSheet, kArchiveSheet};
    for (int r = 2; r <= 10001; ++r)
        for (const QString& column : archiveColumns())
            content.cells[kArchiveSheet][address(column, r)] = QStringLiteral("第%1行").arg(r);
    Fixture f(content);
    QElapsedTimer clock;
    clock.start();
    f.host.select(kArchiveSheet);
    QApplication::processEvents();
    const qint64 ms = clock.elapsed();
    qInfo("sheet window over 10,000 x 47 cells: %lld ms to show", ms);
    QCOMPARE(f.window()->view(1)->model()->rowCount(), 10001 + SheetModel::kSpareRows);
    QVERIFY2(ms < 3000, "showing a large sheet took more than 3 s");
}

// The archive as a teacher sees it, in a Song face. With VELMORA_SCREENSHOTS
// set to a folder, the window is also saved there as a picture to look at.
void TestWindow::archiveSheetLooksRight() {
    WorkbookContent content;
    content.sheets = {kSettingsSheet, kArchiveSheet, kScoresSheet, kCommentsSheet, kNotebookSheet};
    const QStringList headings = {"序号", "学号", "姓名", "性别", "籍贯", "民族", "出生年月"};
    const QStringList names = {"张三", "李四", "王五", "赵六", "孙七", "周八"};
    for (int c = 0; c < headings.size(); ++c)
        content.cells[kArchiveSheet][address(columnName(c), 1)] = headings[c];
    for (int n = 1; n <= names.size(); ++n) {
        const QStringList row = {QString::number(n), QString::number(2003000 + n),
                                 names[n - 1],       n % 2 ? "男" : "女",
                                 "江苏南京",         "汉",
                                 "1990-05"};
        for (int c = 0; c < row.size(); ++c)
            content.cells[kArchiveSheet][address(columnName(c), rowOf(n))] = row[c];
    }
    content.cells[kArchiveSheet]["H3"] = "第一行\n第二行";
    Fixture f(content);
    f.host.select(kArchiveSheet);
    SheetWindow* w = f.window();
    const QString face = QFontInfo(w->view(1)->font()).family();
    QVERIFY2(
        QStringList({"AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC", "WenQuanYi Zen Hei"})
            .contains(face),
        qPrintable(face));
    QVERIFY(w->view(1)->rowHeight(2) >= 2 * w->view(1)->fontMetrics().lineSpacing());
    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QTest::qWait(200);
        QVERIFY(w->grab().save(folder + "/sheetwindow-archive.png"));
    }
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
