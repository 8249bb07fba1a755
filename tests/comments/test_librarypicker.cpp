// Picking from the library boxes with real mouse events: press, moves with
// the button held, release, on the library box's viewport.
#include "comments/commentwriterform.h"
#include "comments/librarypicker.h"
#include "comments/librarytexts.h"
#include "formaccess.h"
#include "testworkbook.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTextBlock>

using namespace velmora;
using namespace velmora::test;
using velmora::comments::CommentWriterForm;
using velmora::comments::libraryText;

namespace {

const QString kHomework = QStringLiteral("按时完成作业，字迹工整。");

QClipboard* clipboard() {
    return QGuiApplication::clipboard();
}

// The library box on its page, brought to the front as a person would.
QPlainTextEdit* openBox(CommentWriterForm& form, const QString& name) {
    QPlainTextEdit* box = textBox(form, name);
    for (const char* strip : {"MultiPage1", "MultiPage3"}) {
        auto* tabs = control<QTabWidget>(form, strip);
        if (tabs->indexOf(box->parentWidget()) >= 0)
            tabs->setCurrentWidget(box->parentWidget());
    }
    QCoreApplication::processEvents();
    return box;
}

// Start of line `line` of a box's text.
int lineStart(const QPlainTextEdit* box, int line) {
    return box->document()->findBlockByNumber(line).position();
}

QPoint pointAt(QPlainTextEdit* box, int position) {
    QTextCursor cursor(box->document());
    cursor.setPosition(position);
    return box->cursorRect(cursor).center();
}

void moveHeld(QPlainTextEdit* box, Qt::MouseButtons held, QPoint p) {
    QWidget* viewport = box->viewport();
    QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(viewport->mapToGlobal(p)), Qt::NoButton,
                     held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
}

// Press at one character position, `moves` moves on to another, release there.
void drag(QPlainTextEdit* box, Qt::MouseButton button, int from, int to, int moves) {
    const QPoint a = pointAt(box, from), z = pointAt(box, to);
    QTest::mousePress(box->viewport(), button, {}, a);
    for (int i = 1; i <= moves; ++i) moveHeld(box, button, a + (z - a) * i / moves);
    QTest::mouseRelease(box->viewport(), button, {}, z);
}

qint64 moveCount(CommentWriterForm& form) {
    return form.findChild<comments::LibraryPicker*>()->moveCount();
}

void select(QPlainTextEdit* box, int anchor, int position) {
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

}  // namespace

class TestLibraryPicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void picks_data();
    void picks();
    void twoPicksInARow();
    void pickGoesToTheInsertionPoint_data();
    void pickGoesToTheInsertionPoint();
    void dragWithoutSelectionPastesTheClipboard_data();
    void dragWithoutSelectionPastesTheClipboard();
    void keyboardSelectionPicksNothing();
    void movesAreCountedAcrossBoxesAndNeverReset();
    void pressOnTheSelectionStartsANewOne();
    void everyLibraryBoxPicks_data();
    void everyLibraryBoxPicks();

private:
    std::unique_ptr<TestWorkbook> book_;
    std::unique_ptr<CommentWriterForm> form_;
};

void TestLibraryPicker::init() {
    form_.reset();
    book_.reset();  // one connection at a time
    book_ = std::make_unique<TestWorkbook>();
    form_ = std::make_unique<CommentWriterForm>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    book_->requests().log.clear();  // the class read as the window opens
    clipboard()->setText(QStringLiteral("旧的剪贴板"));
}

void TestLibraryPicker::picks_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("moves");
    QTest::addColumn<bool>("preselected");
    QTest::addColumn<bool>("picked");
    QTest::newRow("left, three moves") << Qt::LeftButton << 3 << false << true;
    QTest::newRow("left, many moves") << Qt::LeftButton << 9 << false << true;
    QTest::newRow("left, two moves") << Qt::LeftButton << 2 << false << false;
    QTest::newRow("left click on a selection") << Qt::LeftButton << 0 << true << false;
    QTest::newRow("right, three moves") << Qt::RightButton << 3 << true << true;
    QTest::newRow("right, two moves") << Qt::RightButton << 2 << true << false;
    QTest::newRow("middle, three moves") << Qt::MiddleButton << 3 << true << true;
    QTest::newRow("middle click") << Qt::MiddleButton << 0 << true << false;
}

void TestLibraryPicker::picks() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, moves);
    QFETCH(bool, preselected);
    QFETCH(bool, picked);
    QPlainTextEdit* box = openBox(*form_, "TextBox8");
    const int start = lineStart(box, 1);
    QCOMPARE(box->document()->findBlockByNumber(1).text(), kHomework);
    if (preselected)
        select(box, start, start + kHomework.size());

    drag(box, button, start, start + kHomework.size(), moves);
    QCOMPARE(textBox(*form_, "TextBox13")->toPlainText(), picked ? kHomework : QString());
    QCOMPARE(clipboard()->text(), picked ? kHomework : QStringLiteral("旧的剪贴板"));
    QCOMPARE(box->toPlainText(), libraryText("TextBox8"));  // the library box keeps its text
    QCOMPARE(book_->requests().log, QStringList());
}

void TestLibraryPicker::twoPicksInARow() {
    QPlainTextEdit* box = openBox(*form_, "TextBox8");
    const QString second = box->document()->findBlockByNumber(2).text();
    QVERIFY(!second.isEmpty());
    drag(box, Qt::LeftButton, lineStart(box, 1), lineStart(box, 1) + kHomework.size(), 4);
    drag(box, Qt::LeftButton, lineStart(box, 2), lineStart(box, 2) + second.size(), 4);
    QCOMPARE(textBox(*form_, "TextBox13")->toPlainText(), kHomework + second);
}

void TestLibraryPicker::pickGoesToTheInsertionPoint_data() {
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");
    const QString s = kHomework;
    QTest::newRow("at the end") << "你好" << 2 << 2 << "你好" + s;
    QTest::newRow("at the start") << "你好" << 0 << 0 << s + "你好";
    QTest::newRow("in the middle") << "你好" << 1 << 1 << "你" + s + "好";
    QTest::newRow("replacing a selection") << "甲乙丙丁" << 1 << 3 << "甲" + s + "丁";
    QTest::newRow("replacing backwards") << "甲乙丙丁" << 3 << 1 << "甲" + s + "丁";
    QTest::newRow("replacing all") << "甲乙丙丁" << 0 << 4 << s;
}

void TestLibraryPicker::pickGoesToTheInsertionPoint() {
    QFETCH(QString, comment);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, expected);
    QPlainTextEdit* commentBox = textBox(*form_, "TextBox13");
    commentBox->setPlainText(comment);
    select(commentBox, anchor, position);
    QPlainTextEdit* box = openBox(*form_, "TextBox8");
    drag(box, Qt::LeftButton, lineStart(box, 1), lineStart(box, 1) + kHomework.size(), 3);
    QCOMPARE(commentBox->toPlainText(), expected);
    QCOMPARE(commentBox->textCursor().position(), qMin(anchor, position) + kHomework.size());
}

void TestLibraryPicker::dragWithoutSelectionPastesTheClipboard_data() {
    QTest::addColumn<QString>("clipboardText");
    QTest::newRow("previous text") << "上次的内容";
    QTest::newRow("no text") << "";
}

void TestLibraryPicker::dragWithoutSelectionPastesTheClipboard() {
    QFETCH(QString, clipboardText);
    if (clipboardText.isEmpty())
        clipboard()->clear();
    else
        clipboard()->setText(clipboardText);
    QPlainTextEdit* box = openBox(*form_, "TextBox8");
    const int at = lineStart(box, 1) + 3;
    drag(box, Qt::LeftButton, at, at, 3);  // a click that jitters in place
    QVERIFY(!box->textCursor().hasSelection());
    QCOMPARE(textBox(*form_, "TextBox13")->toPlainText(), clipboardText);
}

void TestLibraryPicker::keyboardSelectionPicksNothing() {
    QPlainTextEdit* box = openBox(*form_, "TextBox8");
    box->setFocus();
    select(box, lineStart(box, 1), lineStart(box, 1));
    QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(box->textCursor().selectedText(), kHomework);
    QCOMPARE(textBox(*form_, "TextBox13")->toPlainText(), QString());
    QCOMPARE(moveCount(*form_), 1);
}

void TestLibraryPicker::movesAreCountedAcrossBoxesAndNeverReset() {
    QPlainTextEdit* homework = openBox(*form_, "TextBox8");
    moveHeld(homework, Qt::NoButton, QPoint(5, 5));
    moveHeld(homework, Qt::NoButton, QPoint(6, 5));
    QPlainTextEdit* top = openBox(*form_, "TextBox17");
    for (int x = 5; x < 8; ++x) moveHeld(top, Qt::NoButton, QPoint(x, 5));
    QCOMPARE(moveCount(*form_), 6);

    // Moves before the press do not make a click a pick.
    const int start = lineStart(top, 1);
    select(top, start, start + 4);
    drag(top, Qt::LeftButton, start + 2, start + 2, 0);
    QCOMPARE(textBox(*form_, "TextBox13")->toPlainText(), QString());

    drag(homework, Qt::LeftButton, lineStart(homework, 1),
         lineStart(homework, 1) + kHomework.size(), 3);
    QCOMPARE(moveCount(*form_), 9);
    QCOMPARE(textBox(*form_, "TextBox13")->toPlainText(), kHomework);
}

void TestLibraryPicker::pressOnTheSelectionStartsANewOne() {
    QPlainTextEdit* box = openBox(*form_, "TextBox8");
    const int start = lineStart(box, 1);
    select(box, start, start + kHomework.size());
    drag(box, Qt::LeftButton, start + 2, start + 6, 3);
    QCOMPARE(textBox(*form_, "TextBox13")->toPlainText(), kHomework.mid(2, 4));
}

void TestLibraryPicker::everyLibraryBoxPicks_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : comments::libraryBoxNames()) QTest::newRow(qPrintable(name)) << name;
}

void TestLibraryPicker::everyLibraryBoxPicks() {
    QFETCH(QString, name);
    QPlainTextEdit* box = openBox(*form_, name);
    const QString line = box->document()->findBlockByNumber(1).text();
    QVERIFY(line.size() >= 6);
    drag(box, Qt::LeftButton, lineStart(box, 1), lineStart(box, 1) + 6, 3);
    QCOMPARE(textBox(*form_, "TextBox13")->toPlainText(), line.left(6));
}

QTEST_MAIN(TestLibraryPicker)
#include "test_librarypicker.moc"
