// The sheet window worked as a spreadsheet, through real key, mouse and
// input-method events on the template workbook: moving and selecting, typing,
// the formula bar, the clipboard, undo and redo, fill, find, the status bar
// and dragged column widths.
#include "common/fonts.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "workbook/embedded/cellinput.h"
#include "workbook/embedded/clipboardblock.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/embedded/sheetedits.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/sheetwindow.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/layout.h"
#include "workbook/xls/xlsworkbook.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::layout;

namespace {

// The template workbook opened by the embedded host, its window showing
// 各科成绩 with the keys on the grid.
struct Window {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Velmoravm2.1.xls"));
    EmbeddedHost host;
    SheetWindow* window = nullptr;

    explicit Window(const QMap<QString, QString>& cells = {}) {
        QFile::copy(qEnvironmentVariable("VELMORA_TEMPLATE"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        host.open(path);
        // Seeded as typed; a leading apostrophe seeds a text as it stands.
        for (auto it = cells.begin(); it != cells.end(); ++it) {
            if (it.value().startsWith(u'\''))
                host.writeRaw(kScoresSheet, it.key(), it.value().mid(1));
            else
                host.write(kScoresSheet, it.key(), it.value());
        }
        host.select(kScoresSheet);
        window = existingWindow<SheetWindow>();
        QApplication::setActiveWindow(window);
        view()->setFocus();
    }
    SheetView* view() const { return window->view(window->currentSheet()); }
    CellValue cell(const QString& address) { return host.read(kScoresSheet, address); }
    // The current cell, with its sheet when that is not 各科成绩.
    QString current() const {
        const QModelIndex at = view()->currentIndex();
        const QString sheet =
            window->findChild<QTabWidget*>("sheetTabs")->tabText(window->currentSheet());
        return (sheet == kScoresSheet ? QString() : sheet + u'!') + a1({at.row(), at.column()});
    }
    QString selection() const {
        const QRect r = view()->selectionBounds();
        return a1({r.top(), r.left()}) + u':' + a1({r.bottom(), r.right()});
    }
    void goTo(const QString& range) { window->goTo(range); }
    // A cell's content as typed: a formula with its '='.
    QString typed(const QString& address) const {
        return inputText(view()->sheetModel()->document(), window->currentSheet(),
                         *parseA1(address));
    }
    // Keys as spelled in the tables: "Enter", "S+Tab", "C+End", "F2",
    // "IM:王五" (an input-method commit), anything else typed as text. They
    // go where the keys go: an open cell editor, else the focused widget.
    void keys(const QString& spec) {
        static const QMap<QString, Qt::Key> named = {
            {"Enter", Qt::Key_Return},  {"Tab", Qt::Key_Tab},     {"Esc", Qt::Key_Escape},
            {"Up", Qt::Key_Up},         {"Down", Qt::Key_Down},   {"Left", Qt::Key_Left},
            {"Right", Qt::Key_Right},   {"Home", Qt::Key_Home},   {"End", Qt::Key_End},
            {"PgDn", Qt::Key_PageDown}, {"PgUp", Qt::Key_PageUp}, {"F2", Qt::Key_F2},
            {"Delete", Qt::Key_Delete}, {"A", Qt::Key_A},         {"C", Qt::Key_C},
            {"D", Qt::Key_D},           {"F", Qt::Key_F},         {"R", Qt::Key_R},
            {"S", Qt::Key_S},           {"V", Qt::Key_V},         {"X", Qt::Key_X},
            {"Y", Qt::Key_Y},           {"Z", Qt::Key_Z}};
        for (QString key : spec.split(u' ', Qt::SkipEmptyParts)) {
            const auto target = [this] {
                return QApplication::focusWidget() ? QApplication::focusWidget() : view();
            };
            if (key.startsWith("IM:")) {
                QInputMethodEvent commit;
                commit.setCommitString(key.mid(3));
                QApplication::sendEvent(target(), &commit);
                continue;
            }
            Qt::KeyboardModifiers mods;
            while (key.size() > 2 && key[1] == u'+') {
                mods |= key[0] == u'S' ? Qt::ShiftModifier : Qt::ControlModifier;
                key = key.mid(2);
            }
            if (key == "Tab" && mods == Qt::ShiftModifier)
                QTest::keyClick(target(), Qt::Key_Backtab, mods);
            else if (named.contains(key) && (key.size() > 1 || mods))
                QTest::keyClick(target(), named[key], mods);
            else
                for (QChar c : key) QTest::keyClick(target(), c.toLatin1());
        }
    }
    QPoint centre(const QString& address) const {
        const CellRef ref = *parseA1(address);
        return view()->visualRect(view()->model()->index(ref.row, ref.column)).center();
    }
};

QString kindName(CellValue::Kind kind) {
    return QStringList{"empty", "text", "number", "boolean", "error"}[int(kind)];
}

}  // namespace

class TestSheetWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void cleanup() { QApplication::clipboard()->clear(); }
    void keysMove_data();
    void keysMove();
    void mouseSelects_data();
    void mouseSelects();
    void typing_data();
    void typing();
    void formulas_data();
    void formulas();
    void barFollowsTheCellEditor();
    void formulaBar_data();
    void formulaBar();
    void paste_data();
    void paste();
    void copyAndPasteBack();
    void fiftyByThirteenScores();
    void undoRedo_data();
    void undoRedo();
    void formulasCopyAndFill_data();
    void formulasCopyAndFill();
    void formulasFromTheFile();
    void historyKeepsItsSteps();
    void draggedSizeIsSaved_data();
    void draggedSizeIsSaved();
    void find_data();
    void find();
    void statusBarSums();
};

void TestSheetWindow::keysMove_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("selection");
    QTest::newRow("Enter down") << "B2"
                                << "Enter"
                                << "B3"
                                << "B3:B3";
    QTest::newRow("Shift+Enter up") << "B3"
                                    << "S+Enter"
                                    << "B2"
                                    << "B2:B2";
    QTest::newRow("Tab right") << "B2"
                               << "Tab"
                               << "C2"
                               << "C2:C2";
    QTest::newRow("Shift+Tab left") << "C2"
                                    << "S+Tab"
                                    << "B2"
                                    << "B2:B2";
    QTest::newRow("arrows") << "B2"
                            << "Right Down Down Left"
                            << "B4"
                            << "B4:B4";
    QTest::newRow("Shift+arrows select") << "B2"
                                         << "S+Right S+Down S+Down"
                                         << "C4"
                                         << "B2:C4";
    QTest::newRow("Home") << "E5"
                          << "Home"
                          << "A5"
                          << "A5:A5";
    QTest::newRow("Ctrl+Home") << "E5"
                               << "C+Home"
                               << "A1"
                               << "A1:A1";
    QTest::newRow("Ctrl+End: last used cell") << "A1"
                                              << "C+End"
                                              << "X300"
                                              << "X300:X300";
    QTest::newRow("End: last used column") << "B5"
                                           << "End"
                                           << "X5"
                                           << "X5:X5";
    QTest::newRow("PgDn and back") << "A1"
                                   << "PgDn PgUp"
                                   << "A1"
                                   << "A1:A1";
    QTest::newRow("Ctrl+A") << "B2"
                            << "C+A"
                            << "B2"
                            << "A1:IV400";
}

void TestSheetWindow::keysMove() {
    QFETCH(QString, start);
    QFETCH(QString, keys);
    // Beyond every cell the template formats.
    Window w({{"X300", "1"}});
    w.goTo(start);
    w.keys(keys);
    QTEST(w.current(), "current");
    QTEST(w.selection(), "selection");
}

void TestSheetWindow::mouseSelects_data() {
    QTest::addColumn<QString>("gesture");  // drag:FROM:TO, column:C, row:5, shift:FROM:TO
    QTest::addColumn<QString>("selection");
    QTest::newRow("drag a range") << "drag:B2:D4"
                                  << "B2:D4";
    QTest::newRow("drag upwards") << "drag:D4:B2"
                                  << "B2:D4";
    // The template's 100 student rows and the spare rows below them.
    QTest::newRow("column header") << "column:C"
                                   << "C1:C201";
    QTest::newRow("row header") << "row:5"
                                << "A5:IV5";
    QTest::newRow("Shift+click") << "shift:B2:C6"
                                 << "B2:C6";
}

void TestSheetWindow::mouseSelects() {
    QFETCH(QString, gesture);
    Window w;
    SheetView* v = w.view();
    const QStringList part = gesture.split(u':');
    QWidget* cells = v->viewport();
    if (part[0] == "drag") {
        QTest::mousePress(cells, Qt::LeftButton, {}, w.centre(part[1]));
        QTest::mouseMove(cells, w.centre(part[2]));
        QTest::mouseRelease(cells, Qt::LeftButton, {}, w.centre(part[2]));
    } else if (part[0] == "shift") {
        QTest::mouseClick(cells, Qt::LeftButton, {}, w.centre(part[1]));
        QTest::mouseClick(cells, Qt::LeftButton, Qt::ShiftModifier, w.centre(part[2]));
    } else {
        QHeaderView* header = part[0] == "column" ? v->horizontalHeader() : v->verticalHeader();
        const int section = part[0] == "column" ? *columnIndex(part[1]) : part[1].toInt() - 1;
        const int middle =
            header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          part[0] == "column" ? QPoint(middle, header->height() / 2)
                                              : QPoint(header->width() / 2, middle));
    }
    QTEST(w.selection(), "selection");
}

void TestSheetWindow::typing_data() {
    QTest::addColumn<QString>("keys");  // typed at C2, which holds 80
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("current");
    QTest::newRow("number") << "85.5 Enter"
                            << "85.5"
                            << "number"
                            << "C3";
    QTest::newRow("apostrophe keeps a text") << "'001 Enter"
                                             << "001"
                                             << "text"
                                             << "C3";
    QTest::newRow("apostrophe before a word") << "'abc Enter"
                                              << "'abc"
                                              << "text"
                                              << "C3";
    QTest::newRow("full-width digits are a number") << "IM:９５ Enter"
                                                    << "95"
                                                    << "number"
                                                    << "C3";
    QTest::newRow("Chinese through the input method") << "IM:张 IM:三 Enter"
                                                      << "张三"
                                                      << "text"
                                                      << "C3";
    QTest::newRow("Esc cancels") << "99 Esc"
                                 << "80"
                                 << "number"
                                 << "C2";
    QTest::newRow("an arrow ends typing") << "7 Right"
                                          << "7"
                                          << "number"
                                          << "D2";
    QTest::newRow("F2 keeps arrows for the text") << "F2 Left 5 Enter"
                                                  << "850"
                                                  << "number"
                                                  << "C3";
    QTest::newRow("Tab stores, moves right") << "6 Tab"
                                             << "6"
                                             << "number"
                                             << "D2";
    QTest::newRow("Shift+Enter stores, moves up") << "6 S+Enter"
                                                  << "6"
                                                  << "number"
                                                  << "C1";
    QTest::newRow("Shift+Tab stores, moves left") << "6 S+Tab"
                                                  << "6"
                                                  << "number"
                                                  << "B2";
}

void TestSheetWindow::typing() {
    QFETCH(QString, keys);
    // B2 holds a value of its own: in the template it follows 学生档案.
    Window w({{"C2", "80"}, {"B2", "2023001"}});
    w.goTo("C2");
    w.keys(keys);
    const CellValue v = w.cell("C2");
    QTEST(v.toText(), "text");
    QTEST(kindName(v.kind), "kind");
    QTEST(w.current(), "current");
    QVERIFY(!w.view()->isEditing());
    // The formula bar shows the cell the keys ended on as typed (C1's
    // heading is a formula of the template), a cancelled edit gone.
    QCOMPARE(w.window->findChild<QPlainTextEdit*>("contentBox")->toPlainText(),
             w.typed(w.current()));
}

void TestSheetWindow::formulas_data() {
    QTest::addColumn<QString>("keys");  // typed at C5 (which holds 7); C2 holds 80, C3 90
    QTest::addColumn<QString>("c5");
    QTest::addColumn<QString>("bar");  // C5 in the formula bar afterwards
    QTest::addColumn<QString>("message");
    QTest::newRow("AVERAGE shows its value") << "=AVERAGE(C2:C3) Enter" << "85"
                                             << "=AVERAGE(C2:C3)" << "";
    QTest::newRow("through the input method") << "IM:=C2&\"分\" Enter" << "80分"
                                              << "=C2&\"分\"" << "";
    QTest::newRow("in the formula bar") << "bar:=C2*2" << "160" << "=C2*2" << "";
    QTest::newRow("F2 edits the formula") << "=C2 Enter Up F2 +1 Enter" << "81" << "=C2+1" << "";
    QTest::newRow("follows the cells it reads")
        << "=C2*2 Enter Up Up Up Up 100 Enter" << "200" << "=C2*2" << "";
    QTest::newRow("apostrophe keeps the text") << "'=C2 Enter" << "=C2" << "'=C2" << "";
    QTest::newRow("does not parse") << "=SUM(C2 Enter" << "7" << "7"
                                    << "公式第 2 个字符处有错误：函数 SUM 的左括号";
    QTest::newRow("unknown function") << "=C2+FOO(1) Enter" << "7" << "7"
                                      << "公式第 5 个字符处有错误";
    QTest::newRow("does not parse in the bar") << "bar:=1+" << "7" << "7"
                                               << "公式第 4 个字符处有错误";
}

void TestSheetWindow::formulas() {
    QFETCH(QString, keys);
    QFETCH(QString, message);
    Window w({{"C2", "80"}, {"C3", "90"}, {"C5", "7"}});
    MessageRecorder messages;
    w.goTo("C5");
    if (keys.startsWith("bar:")) {
        auto* content = w.window->findChild<QPlainTextEdit*>("contentBox");
        content->setFocus();
        content->selectAll();
        keys = keys.mid(4) + " Enter";
    }
    w.keys(keys);
    QTEST(w.cell("C5").toText(), "c5");
    w.goTo("C5");
    QTEST(w.window->findChild<QPlainTextEdit*>("contentBox")->toPlainText(), "bar");
    QCOMPARE(messages.texts().join("").left(message.size()), message);
}

void TestSheetWindow::barFollowsTheCellEditor() {
    Window w;
    w.goTo("C2");
    w.keys("4 IM:分");
    QVERIFY(w.view()->isEditing());
    QCOMPARE(w.window->findChild<QPlainTextEdit*>("contentBox")->toPlainText(),
             QStringLiteral("4分"));
}

void TestSheetWindow::formulaBar_data() {
    QTest::addColumn<QString>("box");  // nameBox or contentBox
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("c2");  // C2's text and kind after
    QTest::addColumn<QString>("message");
    QTest::newRow("address") << "nameBox"
                             << "C12 Enter"
                             << "C12"
                             << "001 text"
                             << "";
    QTest::newRow("address on another sheet") << "nameBox"
                                              << "IM:写评语!B3 Enter"
                                              << "写评语!B3"
                                              << "001 text"
                                              << "";
    QTest::newRow("a range") << "nameBox"
                             << "a2:c4 Enter"
                             << "A2"
                             << "001 text"
                             << "";
    QTest::newRow("no such cell") << "nameBox"
                                  << "Z0 Enter"
                                  << "C2"
                                  << "001 text"
                                  << "“Z0”不是有效的单元格地址。";
    QTest::newRow("no such sheet") << "nameBox"
                                   << "IM:别处!A1 Enter"
                                   << "C2"
                                   << "001 text"
                                   << "工作簿中没有名为“别处”的工作表。";
    QTest::newRow("content typed") << "contentBox"
                                   << "C+A 95 Enter"
                                   << "C2"
                                   << "95 number"
                                   << "";
    QTest::newRow("content in Chinese") << "contentBox"
                                        << "C+A IM:王五 Enter"
                                        << "C2"
                                        << "王五 text"
                                        << "";
    QTest::newRow("content kept as text") << "contentBox"
                                          << "C+A '7 Enter"
                                          << "C2"
                                          << "7 text"
                                          << "";
    QTest::newRow("Esc puts it back") << "contentBox"
                                      << "C+A 95 Esc"
                                      << "C2"
                                      << "001 text"
                                      << "";
}

void TestSheetWindow::formulaBar() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, message);
    Window w({{"C2", "'001"}});
    w.goTo("C2");
    auto* name = w.window->findChild<QLineEdit*>("nameBox");
    auto* content = w.window->findChild<QPlainTextEdit*>("contentBox");
    QCOMPARE(name->text(), QStringLiteral("C2"));
    QCOMPARE(content->toPlainText(),
             QStringLiteral("'001"));  // as typed, so typing it again gives it
    MessageRecorder messages;
    QWidget* target = box == "nameBox" ? static_cast<QWidget*>(name) : content;
    target->setFocus();
    if (box == "nameBox")
        name->selectAll();
    w.keys(keys);
    QTEST(w.current(), "current");
    const CellValue c2 = w.cell("C2");
    QTEST(c2.toText() + u' ' + kindName(c2.kind), "c2");
    QCOMPARE(messages.texts().join("").left(message.size()), message);
    if (message.isEmpty())
        QCOMPARE(name->text(), w.current().section(u'!', -1));
}

void TestSheetWindow::paste_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("cells");  // address=text:kind
    QTest::newRow("tab-separated")
        << "90\t85\n77\t暂缺\n"
        << ""
        << "C2" << QStringList{"C2=90:number", "D2=85:number", "C3=77:number", "D3=暂缺:text"};
    QTest::newRow("quoted cells") << "\"a\tb\"\t\"上\n下\"\t\"说\"\"好\"\"\"\n"
                                  << ""
                                  << "C2"
                                  << QStringList{"C2=a\tb:text", "D2=上\n下:text",
                                                 "E2=说\"好\":text"};
    QTest::newRow("Windows line ends")
        << "1\t2\r\n3\t4\r\n"
        << ""
        << "C2" << QStringList{"C2=1:number", "D2=2:number", "C3=3:number", "D3=4:number"};
    QTest::newRow("HTML table before text")
        << "ignored"
        << "<p>成绩</p><table><tr><td>张三</td><td> 95 </td></tr>"
           "<tr><td colspan=2>合&nbsp;计</td><td>3<br>4</td></tr></table>"
        << "C2"
        << QStringList{"C2=张三:text", "D2=95:number", "C3=合 计:text", "D3=:empty",
                       "E3=3\n4:text"};
    QTest::newRow("HTML without a table") << "5\t6"
                                          << "<b>5 6</b>"
                                          << "C2" << QStringList{"C2=5:number", "D2=6:number"};
    QTest::newRow("one value fills a selection")
        << "7"
        << ""
        << "C2:D3" << QStringList{"C2=7:number", "D3=7:number", "E3=:empty"};
}

void TestSheetWindow::paste() {
    QFETCH(QString, text);
    QFETCH(QString, html);
    QFETCH(QString, target);
    QFETCH(QStringList, cells);
    Window w;
    auto* data = new QMimeData;
    data->setText(text);
    if (!html.isEmpty())
        data->setHtml(html);
    QApplication::clipboard()->setMimeData(data);
    w.goTo(target);
    w.keys("C+V");
    for (const QString& expected : cells) {
        const CellValue v = w.cell(expected.section(u'=', 0, 0));
        QCOMPARE(v.toText() + u':' + kindName(v.kind), expected.section(u'=', 1));
    }
}

// A copied block is on the clipboard as other programs read it (tab-separated
// text with quoting, an HTML table) and pastes back here cell for cell.
void TestSheetWindow::copyAndPasteBack() {
    Window w(
        {{"C2", "a\tb"}, {"D2", "上\n下"}, {"C3", "说\"好\""}, {"D3", "'001"}, {"E3", "12.5"}});
    w.goTo("E2");
    w.keys("=E3*2 Enter");
    w.goTo("C2:E3");
    w.keys("C+C");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    // Formulas go to other programs as their values.
    const CellBlock shown = {{"a\tb", "上\n下", "25"}, {"说\"好\"", "001", "12.5"}};
    QCOMPARE(data->text(), QStringLiteral("\"a\tb\"\t\"上\n下\"\t25\n说\"好\"\t001\t12.5\n"));
    QCOMPARE(blockFromTsv(data->text()), shown);
    CellBlock html = shown;
    html[0][0] = "a b";  // HTML folds a tab into a blank, as every reader of it does
    QCOMPARE(blockFromHtml(data->html()), std::optional(html));
    w.goTo("F5");
    w.keys("C+V");
    for (const auto& [from, to] :
         {std::pair{"C2", "F5"}, {"D2", "G5"}, {"C3", "F6"}, {"D3", "G6"}, {"E3", "H6"}})
        QCOMPARE(w.cell(to), w.cell(from));
    QCOMPARE(w.cell("G6").kind, CellValue::Kind::Text);
    QCOMPARE(w.typed("H5"), QStringLiteral("=H6*2"));
}

// Scores copied from a spreadsheet program: pasted in one step with one
// repaint (and one for the totals, means and ranks the template computes
// from them), taken back whole (totals too) by one undo, averaged by a
// typed formula, saved as shown.
void TestSheetWindow::fiftyByThirteenScores() {
    Window w({{"C60", "旧"}});
    const auto total = [](int r) {
        double sum = 0;
        for (int c = 0; c < 13; ++c) sum += 60 + (r * 13 + c) % 41;
        return sum;
    };
    QString tsv;
    for (int r = 0; r < 50; ++r) {
        QStringList row;
        for (int c = 0; c < 13; ++c) row << QString::number(60 + (r * 13 + c) % 41);
        tsv += row.join(u'\t') + u'\n';
    }
    QApplication::clipboard()->setText(tsv);
    QSignalSpy repaints(w.view()->model(), &QAbstractItemModel::dataChanged);
    w.goTo("C2");
    w.keys("C+V");
    // The pasted block, then the totals, means and ranks computed from it.
    QCOMPARE(repaints.size(), 2);
    const auto block = [&](int i) {
        const auto from = repaints[i][0].value<QModelIndex>(),
                   to = repaints[i][1].value<QModelIndex>();
        return a1({from.row(), from.column()}) + u':' + a1({to.row(), to.column()});
    };
    QCOMPARE(block(0), QStringLiteral("C2:O51"));
    QCOMPARE(block(1), QStringLiteral("P2:R51"));
    QCOMPARE(w.window->edits().history().count(), 1);
    QCOMPARE(w.cell("C2").number, 60.0);
    QCOMPARE(w.cell("P2").number, total(0));
    QCOMPARE(w.cell("P51").number, total(49));
    QCOMPARE(w.cell("O51").number, double(60 + (49 * 13 + 12) % 41));
    QCOMPARE(w.selection(), QStringLiteral("C2:O51"));
    w.keys("C+Z");
    QVERIFY(w.cell("C2").isEmpty() && w.cell("O51").isEmpty());
    QCOMPARE(w.cell("P51").toText(), QString());  // no scores, no total
    QCOMPARE(w.cell("C1").toText(), QStringLiteral("政治"));
    w.keys("C+Y");
    QCOMPARE(w.cell("O51").number, double(60 + (49 * 13 + 12) % 41));
    // A formula typed below the block shows its value, the bar the formula.
    w.goTo("C53");
    w.keys("=AVERAGE(C2:C51) Enter Up");
    double average = 0;
    for (int r = 0; r < 50; ++r) average += (60 + r * 13 % 41) / 50.0;
    QCOMPARE(w.cell("C53").number, average);
    QCOMPARE(w.window->findChild<QPlainTextEdit*>("contentBox")->toPlainText(),
             QStringLiteral("=AVERAGE(C2:C51)"));
    // With VELMORA_SCREENSHOTS set to a folder, the window is saved there as
    // a picture to look at.
    if (const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS"); !folder.isEmpty()) {
        w.window->resize(1200, 800);
        QVERIFY(QTest::qWaitForWindowExposed(w.window));
        w.goTo("C53");  // in view at the window's new size
        QVERIFY(w.window->grab().save(folder + "/sheetwindow-pasted-scores.png"));
    }
    w.keys("C+S");
    const xls::XlsWorkbook saved = xls::XlsWorkbook::load(w.path);
    const int sheet = saved.sheetIndex(kScoresSheet);
    for (int r = 1; r <= 50; ++r) {
        for (int c = 2; c <= 14; ++c)
            QCOMPARE(saved.cell(sheet, {r, c}).number, double(60 + ((r - 1) * 13 + c - 2) % 41));
        // The totals' results are in their records (read before any calculation).
        QCOMPARE(saved.cell(sheet, {r, 15}).number, total(r - 1));
    }
    QCOMPARE(saved.cell(sheet, {52, 2}).number, average);
    QVERIFY(w.window->edits().history().canUndo());  // saving keeps the history
}

void TestSheetWindow::undoRedo_data() {
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("keys");
    QTest::newRow("typing") << "C2"
                            << "5 Enter";
    QTest::newRow("Delete a range") << "C2:D3"
                                    << "Delete";
    QTest::newRow("cut") << "C2:D2"
                         << "C+X";
    QTest::newRow("copy and paste") << "C2:D3"
                                    << "C+C Down Down C+V";
    QTest::newRow("fill down") << "C2:D5"
                               << "C+D";
    QTest::newRow("fill right") << "C2:F3"
                                << "C+R";
    QTest::newRow("typing in the formula bar") << "D3"
                                               << "bar:'12";
    QTest::newRow("a formula") << "E5"
                               << "=C2*2+E4 Enter";
    QTest::newRow("a formula over a number") << "E4"
                                             << "=C2/4 Enter";
}

// Undo puts back every cell exactly (value and kind), redo the change.
void TestSheetWindow::undoRedo() {
    QFETCH(QString, select);
    QFETCH(QString, keys);
    Window w(
        {{"C2", "88"}, {"D2", "'007"}, {"C3", "良"}, {"D3", "第一行\n第二行"}, {"E4", "12.5"}});
    const auto snapshot = [&] {
        QStringList cells;
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c) {
                const CellValue v = w.host.read(kScoresSheet, a1({r, c}));
                cells << v.toText() + u':' + kindName(v.kind);
            }
        return cells;
    };
    const QStringList before = snapshot();
    w.goTo(select);
    if (keys.startsWith("bar:")) {
        auto* content = w.window->findChild<QPlainTextEdit*>("contentBox");
        content->setFocus();
        content->selectAll();
        w.keys(keys.mid(4) + " Enter");
    } else {
        w.keys(keys);
    }
    const QStringList after = snapshot();
    QVERIFY(after != before);
    w.keys("C+Z");
    QCOMPARE(snapshot(), before);
    w.keys("C+S+Z");
    QCOMPARE(snapshot(), after);
}

void TestSheetWindow::formulasCopyAndFill_data() {
    // P2 =SUM(C2:O2) and Q2 =P2/$P$2 typed in; C2 holds 80, D2 90.
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("keys");  // on the selection; "text:..." puts text on the clipboard
    QTest::addColumn<QString>("paste");  // where Ctrl+V goes, if anywhere
    QTest::addColumn<QStringList>("cells");  // address|as typed|value
    QTest::newRow("copy moves relative references")
        << "P2" << "C+C" << "P3" << QStringList{"P3|=SUM(C3:O3)|0", "P2|=SUM(C2:O2)|170"};
    QTest::newRow("a block keeps its own references")
        << "P2:Q2" << "C+C" << "P7" << QStringList{"P7|=SUM(C7:O7)|0", "Q7|=P7/$P$2|0"};
    QTest::newRow("one formula into a selection")
        << "P2" << "C+C" << "P4:P5" << QStringList{"P4|=SUM(C4:O4)|0", "P5|=SUM(C5:O5)|0"};
    QTest::newRow("cut keeps the references")
        << "P2" << "C+X" << "P9" << QStringList{"P9|=SUM(C2:O2)|170", "P2||", "Q2|=P2/$P$2|#DIV/0!"};
    QTest::newRow("fill down") << "P2:P4" << "C+D" << ""
                               << QStringList{"P3|=SUM(C3:O3)|0", "P4|=SUM(C4:O4)|0"};
    QTest::newRow("fill right") << "Q2:S2" << "C+R" << ""
                                << QStringList{"R2|=Q2/$P$2|0.00588235294117647", "S2|=R2/$P$2|3.46020761245675E-05"};
    QTest::newRow("typed text from another program")
        << "H3" << "text:=1+1\t=C2" << "H3" << QStringList{"H3|=1+1|2", "I3|=C2|80"};
}

// Formulas pasted and filled move their relative references; the
// clipboard's text for other programs holds their values.
void TestSheetWindow::formulasCopyAndFill() {
    QFETCH(QString, select);
    QFETCH(QString, keys);
    QFETCH(QString, paste);
    QFETCH(QStringList, cells);
    Window w({{"C2", "80"}, {"D2", "90"}});
    w.goTo("P2");
    w.keys("=SUM(C2:O2) Tab =P2/$P$2 Enter");
    const QString first = cells[0].section(u'|', 0, 0);
    const QString before = w.typed(first);
    w.goTo(select);
    if (keys.startsWith("text:"))
        QApplication::clipboard()->setText(keys.mid(5));
    else
        w.keys(keys);
    if (keys == "C+C" && select == "P2")
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("170\n"));
    if (!paste.isEmpty()) {
        w.goTo(paste);
        w.keys("C+V");
    }
    for (const QString& expected : cells) {
        const QStringList part = expected.split(u'|');
        QCOMPARE(w.typed(part[0]), part[1]);
        QCOMPARE(w.cell(part[0]).toText(), part[2]);
    }
    // The paste or fill is one step, undone whole.
    w.keys("C+Z");
    QCOMPARE(w.typed(first), before);
}

// Formulas of a file written by another program copy and fill as typed
// ones do; one deleted comes back by undo as the file had it.
void TestSheetWindow::formulasFromTheFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmoravm2.1.xls");
    QFile::copy(qEnvironmentVariable("VELMORA_CORPUS") + "/poi_60460_excel97_formulas.xls", path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EmbeddedHost host;
    host.open(path);
    host.show();
    SheetWindow* window = existingWindow<SheetWindow>();
    QApplication::setActiveWindow(window);
    SheetView* view = window->view(0);
    const xls::XlsWorkbook& book = view->sheetModel()->document().book();
    const CellRef b7{6, 1}, b9{8, 1}, b10{9, 1};
    QCOMPARE(book.formula(0, b7).left(18), QStringLiteral("IF(SUM(E7:I7)=0,\"\""));
    const CellValue value = book.cell(0, b7);
    view->setFocus();
    view->goTo(b7, b7);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    view->goTo(b10, b10);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(book.formula(0, b10).left(18), QStringLiteral("IF(SUM(E10:I10)=0,"));
    view->goTo(b7, b9);
    QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(book.formula(0, b9).left(18), QStringLiteral("IF(SUM(E9:I9)=0,\"\""));
    view->goTo(b7, b7);
    QTest::keyClick(view, Qt::Key_Delete);
    QVERIFY(!book.hasFormula(0, b7));
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(book.hasFormula(0, b7));
    QCOMPARE(book.cell(0, b7), value);
}

void TestSheetWindow::historyKeepsItsSteps() {
    Window w;
    w.goTo("C2");
    for (int i = 1; i <= 120; ++i) w.keys(QString::number(i) + " Enter");
    w.window->saveWorkbook();
    for (int i = 0; i < 119; ++i) w.keys("C+Z");
    QCOMPARE(w.cell("C2").toText(), QStringLiteral("1"));
    QVERIFY(w.cell("C3").isEmpty());
    // A write from another window cannot be undone here: the history ends.
    w.host.write(kScoresSheet, "A2", "1");
    QVERIFY(!w.window->edits().history().canUndo() && !w.window->edits().history().canRedo());
}

void TestSheetWindow::draggedSizeIsSaved_data() {
    QTest::addColumn<bool>("column");
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("delta");
    QTest::newRow("wider column") << true << 3 << 40;
    QTest::newRow("narrower column") << true << 0 << -20;
    QTest::newRow("higher row") << false << 4 << 25;
}

// Dragging the edge of a column's or row's header: one step, in the file
// on saving, undone by Ctrl+Z.
void TestSheetWindow::draggedSizeIsSaved() {
    QFETCH(bool, column);
    QFETCH(int, section);
    QFETCH(int, delta);
    Window w;
    QHeaderView* header = column ? w.view()->horizontalHeader() : w.view()->verticalHeader();
    const int before = header->sectionSize(section);
    const int edge = header->sectionViewportPosition(section) + before - 1;
    const auto at = [&](int offset) {
        return column ? QPoint(edge + offset, 5) : QPoint(5, edge + offset);
    };
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, at(0));
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(header->viewport(), at(delta * step / 4));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, at(delta));
    QCOMPARE(header->sectionSize(section), before + delta);
    QCOMPARE(w.window->edits().history().count(), 1);
    w.keys("C+S");
    const xls::XlsWorkbook saved = xls::XlsWorkbook::load(w.path);
    const int sheet = saved.sheetIndex(kScoresSheet);
    QCOMPARE(column ? saved.columnWidthPx(sheet, section) : saved.rowHeightPx(sheet, section),
             before + delta);
    w.keys("C+Z");
    QCOMPARE(header->sectionSize(section), before);
}

void TestSheetWindow::find_data() {
    QTest::addColumn<QString>("keys");  // typed into the find bar
    QTest::addColumn<bool>("workbook");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("status");
    QTest::newRow("next") << "IM:张 Enter" << false << "D3"
                          << "各科成绩!D3";
    QTest::newRow("and the next") << "IM:张 Enter Enter" << false << "B7"
                                  << "各科成绩!B7";
    QTest::newRow("round to the start") << "IM:张 Enter Enter Enter" << false << "D3"
                                        << "各科成绩!D3";
    QTest::newRow("backwards") << "IM:张 S+Enter" << false << "B7"
                               << "各科成绩!B7";
    QTest::newRow("ignoring case") << "ABC Enter" << false << "E9"
                                   << "各科成绩!E9";
    QTest::newRow("a number as shown") << "12.5 Enter" << false << "F9"
                                       << "各科成绩!F9";
    QTest::newRow("in another sheet") << "IM:评语 Enter" << true << "写评语!C1"
                                      << "写评语!C1";
    QTest::newRow("only in this sheet") << "IM:评语 Enter" << false << "C2"
                                        << "找不到“评语”。";
}

void TestSheetWindow::find() {
    QFETCH(QString, keys);
    QFETCH(bool, workbook);
    Window w({{"D3", "张三"}, {"B7", "小张"}, {"E9", "xabcx"}, {"F9", "12.5"}});
    w.goTo("C2");
    w.keys("C+F");
    w.window->findChild<QAbstractButton*>("findInWorkbook")->setChecked(workbook);
    w.keys(keys);
    QTEST(w.current(), "current");
    QTEST(w.window->findChild<QLabel*>("findStatus")->text(), "status");
    w.keys("Esc");
    QVERIFY(!w.window->findChild<QWidget*>("findBar")->isVisible());
}

void TestSheetWindow::statusBarSums() {
    Window w({{"C2", "90"}, {"C3", "80"}, {"D2", "缺考"}, {"D3", "70.5"}});
    auto* summary = w.window->findChild<QLabel*>("selectionSummary");
    w.goTo("C2:D3");
    QCOMPARE(summary->text(), QStringLiteral("平均值：80.16666667    计数：3    求和：240.5"));
    w.goTo("D2");
    QCOMPARE(summary->text(), QString());
    w.goTo("C1:C200");
    QCOMPARE(summary->text(), QStringLiteral("平均值：85    计数：2    求和：170"));
}

QTEST_MAIN(TestSheetWindow)
#include "test_sheetwindow.moc"
