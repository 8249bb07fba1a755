// The console: its pages and options, which sheet each option brings to the
// front, which option wins when several are checked, and host failures.
#include "common/fonts.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "console/consoleform.h"
#include "console/consoleoptions.h"
#include "testworkbook.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>

using namespace velmora;
using velmora::test::TestWorkbook;

namespace {
QRadioButton* option(ConsoleForm* console, int number) {
    return console->findChild<QRadioButton*>(QStringLiteral("OptionButton%1").arg(number));
}

void confirm(ConsoleForm* console) {
    QTest::mouseClick(console->findChild<QPushButton*>(QStringLiteral("CommandButton1")),
                      Qt::LeftButton);
}

// "caption@OptionButtonN" for each option of a page, top to bottom on screen.
QStringList shownOptions(QWidget* page) {
    QList<QRadioButton*> buttons = page->findChildren<QRadioButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](auto* a, auto* b) { return a->geometry().top() < b->geometry().top(); });
    QStringList out;
    for (QRadioButton* b : buttons) out << b->text() + u'@' + b->objectName();
    return out;
}
}  // namespace

class TestConsole : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void pagesShowTheirOptionsInOrder_data();
    void pagesShowTheirOptionsInOrder();
    void firstCheckedOptionIsCarriedOut_data();
    void firstCheckedOptionIsCarriedOut();
    void optionsStartUncheckedAndExcludeWithinTheirPage();
    void hostFailureKeepsTheConsoleUsable();
};

void TestConsole::pagesShowTheirOptionsInOrder_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("input sheets") << 0 << QStringLiteral("到输入的工作表")
                                  << QStringList{
                                         "到首页@OptionButton1", "输入学生成绩@OptionButton2",
                                         "输入学生基本情况@OptionButton3", "写评语@OptionButton6"};
    QTest::newRow("output sheets")
        << 1 << QStringLiteral("输出的工作表")
        << QStringList{"各科率@OptionButton5", "学生手册@OptionButton4",
                       "班主任工作笔记@OptionButton8", "学籍卡@OptionButton7"};
    QTest::newRow("windows") << 2 << QStringLiteral("窗体")
                             << QStringList{"设置@OptionButton11", "学生情况输入@OptionButton10",
                                            "写评语@OptionButton9", "计划与总结@OptionButton12",
                                            "查询成绩@OptionButton13"};
}

void TestConsole::pagesShowTheirOptionsInOrder() {
    QFETCH(int, page);
    QFETCH(QString, caption);
    QFETCH(QStringList, options);
    ConsoleForm console;
    QCOMPARE(console.windowTitle(), QStringLiteral("控制台"));
    auto* pages = console.findChild<QTabWidget*>(QStringLiteral("MultiPage1"));
    QVERIFY(pages);
    QCOMPARE(pages->count(), 3);
    QCOMPARE(pages->tabText(page), caption);
    QCOMPARE(shownOptions(pages->widget(page)), options);
    console.show();
    for (QRadioButton* b : pages->widget(page)->findChildren<QRadioButton*>())
        QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));  // not clipped
}

void TestConsole::firstCheckedOptionIsCarriedOut_data() {
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<bool>("closes");
    const auto select = [](const QString& sheet) { return QStringList{"select " + sheet}; };
    QTest::newRow("到首页") << QList<int>{1} << select("设置") << true;
    QTest::newRow("输入学生成绩") << QList<int>{2} << select("各科成绩") << true;
    QTest::newRow("输入学生基本情况") << QList<int>{3} << select("学生档案") << true;
    QTest::newRow("学生手册") << QList<int>{4} << select("初三用") << true;
    QTest::newRow("各科率") << QList<int>{5} << select("率") << true;
    QTest::newRow("写评语 sheet") << QList<int>{6} << select("写评语") << true;
    QTest::newRow("学籍卡") << QList<int>{7} << select("打印到学籍卡上") << true;
    QTest::newRow("notebook, trailing blank")
        << QList<int>{8} << select("打印到班主任工作笔记上 ") << true;
    QTest::newRow("window option selects no sheet") << QList<int>{10} << QStringList{} << true;
    QTest::newRow("nothing checked") << QList<int>{} << QStringList{} << false;
    // One choice per page: the lowest control number wins, not the page order.
    QTest::newRow("6 on page 1, 4 on page 2") << QList<int>{6, 4} << select("初三用") << true;
    QTest::newRow("3 on page 1, 5 on page 2") << QList<int>{3, 5} << select("学生档案") << true;
    QTest::newRow("sheet before window") << QList<int>{9, 7} << select("打印到学籍卡上") << true;
    QTest::newRow("all three pages") << QList<int>{13, 8, 2} << select("各科成绩") << true;
}

void TestConsole::firstCheckedOptionIsCarriedOut() {
    QFETCH(QList<int>, checked);
    QFETCH(QStringList, requests);
    QFETCH(bool, closes);
    TestWorkbook book;
    MessageRecorder recorder;
    QPointer<ConsoleForm> console = showSingle<ConsoleForm>();
    for (int n : checked) option(console, n)->click();
    confirm(console);
    QCOMPARE(book.requests().log, requests);  // no cell is read or written
    QVERIFY(recorder.messages().isEmpty());
    QCOMPARE(console->isVisible(), !closes);
    if (closes)
        QTRY_VERIFY(console.isNull());
    else
        console->close();
}

void TestConsole::optionsStartUncheckedAndExcludeWithinTheirPage() {
    QPointer<ConsoleForm> first = showSingle<ConsoleForm>();
    for (int n : {1, 6, 5, 12}) option(first, n)->click();
    QVERIFY(!option(first, 1)->isChecked());  // 6 took its place on page 1
    for (int n : {6, 5, 12}) QVERIFY(option(first, n)->isChecked());
    first->close();
    QTRY_VERIFY(first.isNull());
    ConsoleForm* second = showSingle<ConsoleForm>();
    for (int n = 1; n <= 13; ++n)
        QVERIFY2(!option(second, n)->isChecked(), qPrintable(QString::number(n)));
    second->close();
}

void TestConsole::hostFailureKeepsTheConsoleUsable() {
    TestWorkbook book;
    MessageRecorder recorder;
    QPointer<ConsoleForm> console = showSingle<ConsoleForm>();
    option(console, 8)->click();
    book.requests().failing = true;
    confirm(console);
    QCOMPARE(recorder.messages().size(), 1);
    QVERIFY(!recorder.messages().first().text.isEmpty());
    QVERIFY(console->isVisible());
    QVERIFY(option(console, 8)->isChecked());

    book.requests().failing = false;
    confirm(console);
    QCOMPARE(book.requests().log.last(), QStringLiteral("select 打印到班主任工作笔记上 "));
    QTRY_VERIFY(console.isNull());
}

QTEST_MAIN(TestConsole)
#include "test_console.moc"
