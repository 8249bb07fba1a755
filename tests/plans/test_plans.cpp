// The plan and summary window: which cells each button reads and writes, the
// store of both texts with its save (never over an entry not shown), the one
// refresh at the first mouse movement, and the copy of the selections.
#include "common/messages.h"
#include "common/numberbox.h"
#include "common/savequestion.h"
#include "plans/plansummaryform.h"
#include "testworkbook.h"
#include "workbook/layout.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace velmora;
using namespace velmora::layout;
using velmora::plans::PlanSummaryForm;
using velmora::test::TestWorkbook;

namespace {
const QString kNothing = QStringLiteral("无内容可查!");
const QString kCopied = QStringLiteral("已经复制成功，请打开WORD或记事本，然后进行粘贴。");
constexpr int kLastSeededRow = 12;

void seed(TestWorkbook& wb) {
    for (int row = 1; row <= kLastSeededRow; ++row) {
        wb.put(kListsSheet, address(kPlanColumn, row), QStringLiteral("计划%1\n第二行").arg(row));
        wb.put(kListsSheet, address(kSummaryColumn, row), QStringLiteral("总结%1").arg(row));
    }
}

QPlainTextEdit* planBox(PlanSummaryForm& f) {
    return f.findChild<QPlainTextEdit*>("TextBox17");
}
QPlainTextEdit* summaryBox(PlanSummaryForm& f) {
    return f.findChild<QPlainTextEdit*>("TextBox18");
}
QLineEdit* numberBox(PlanSummaryForm& f) {
    return f.findChild<QLineEdit*>("TextBox19");
}
void click(PlanSummaryForm& f, const char* button) {
    f.findChild<QPushButton*>(button)->click();
}

// Number box, plan, summary.
QStringList screen(PlanSummaryForm& f) {
    return {numberBox(f)->text(), planBox(f)->toPlainText(), summaryBox(f)->toPlainText()};
}

QStringList loads(int row) {
    return {QStringLiteral("read Sheet1!AJ%1").arg(row),
            QStringLiteral("read Sheet1!AU%1").arg(row)};
}

void select(QPlainTextEdit* box, int start, int length) {
    QTextCursor c = box->textCursor();
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    box->setTextCursor(c);
}

// Typing as a person does: Chinese arrives as an input method's commit.
void type(QPlainTextEdit* box, const QString& text) {
    if (text.isEmpty())
        return;
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(box, &commit);
}

void moveOver(QPlainTextEdit* box) {
    QTest::mouseMove(box->viewport(), QPoint(20, 20));
    QTest::mouseMove(box->viewport(), QPoint(30, 25));
}
}  // namespace

class TestPlans : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openingShowsEntryOne();
    void steps_data();
    void steps();
    void store_data();
    void store();
    void firstMouseMovement_data();
    void firstMouseMovement();
    void aLoadEndsTheEdit();
    void closingAsksAboutTypedText();
    void copy_data();
    void copy();
    void failedLoadKeepsNumberAndBoxesTogether();
};

void TestPlans::openingShowsEntryOne() {
    TestWorkbook wb;
    seed(wb);
    PlanSummaryForm f;
    QCOMPARE(wb.requests().log, loads(2));
    QCOMPARE(screen(f), (QStringList{"1", "计划2\n第二行", "总结2"}));
    QCOMPARE(planBox(f)->textCursor().position(), 0);
    QCOMPARE(summaryBox(f)->textCursor().position(), 0);
    QCOMPARE(f.windowTitle(), QStringLiteral("计划与总结"));
    auto* tabs = f.findChild<QTabWidget*>("MultiPage3");
    QCOMPARE(tabs->tabText(0), QStringLiteral("工作计划"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("工作总结"));
    QCOMPARE(tabs->widget(0), planBox(f));

    f.show();
    QVERIFY(f.findChild<QLineEdit*>("TextBox20")->isHidden());
    click(f, "CommandButton1");
    QVERIFY(!f.isVisible());
    QCOMPARE(wb.requests().log, loads(2));
}

void TestPlans::steps_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("boxAfter");
    QTest::addColumn<int>("loadedRow");  // 0: nothing read

    // clang-format off
    QTest::newRow("1, previous") << "1" << "CommandButton5" << kNothing << "1" << 0;
    QTest::newRow("0, previous") << "0" << "CommandButton5" << kNothing << "0" << 0;
    QTest::newRow("1, next") << "1" << "CommandButton7" << "" << "2" << 3;
    QTest::newRow("3, previous") << "3" << "CommandButton5" << "" << "2" << 3;
    QTest::newRow("leading blank 7, next") << " 7" << "CommandButton7" << "" << "8" << 9;
    QTest::newRow("full-width 6, previous") << "６" << "CommandButton5" << "" << "5" << 6;
    QTest::newRow("past the stored entries") << "200" << "CommandButton7" << "" << "201" << 202;
    QTest::newRow("0, next") << "0" << "CommandButton7" << kBadNumberMessage << "0" << 0;
    QTest::newRow("empty, next") << "" << "CommandButton7" << kBadNumberMessage << "" << 0;
    QTest::newRow("letters, previous") << "a3" << "CommandButton5" << kBadNumberMessage << "a3" << 0;
    QTest::newRow("last row, next") << "65535" << "CommandButton7" << kNothing << "65535" << 0;
    // clang-format on
}

void TestPlans::steps() {
    QFETCH(QString, box);
    QFETCH(QString, button);
    QFETCH(QString, message);
    QFETCH(QString, boxAfter);
    QFETCH(int, loadedRow);

    TestWorkbook wb;
    seed(wb);
    MessageRecorder recorder;
    PlanSummaryForm f;
    numberBox(f)->setText(box);
    planBox(f)->setPlainText(QStringLiteral("未存的计划"));
    const QStringList before = screen(f);
    wb.requests().log.clear();

    click(f, qPrintable(button));

    if (message.isEmpty()) {
        QVERIFY(recorder.messages().isEmpty());
    } else {
        QCOMPARE(recorder.texts(), QStringList{message});
        QCOMPARE(recorder.messages().constFirst().title, QStringLiteral("Velmoravm2.1"));
    }
    if (loadedRow == 0) {
        QCOMPARE(wb.requests().log, QStringList());
        QCOMPARE(screen(f), before);
        return;
    }
    QCOMPARE(wb.requests().log, loads(loadedRow));
    const bool stored = loadedRow <= kLastSeededRow;
    QCOMPARE(screen(f),
             (QStringList{boxAfter, stored ? QStringLiteral("计划%1\n第二行").arg(loadedRow) : "",
                          stored ? QStringLiteral("总结%1").arg(loadedRow) : ""}));
}

void TestPlans::store_data() {
    QTest::addColumn<int>("shown");  // the entry stepped to before the store
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("message");  // empty: stored and saved

    const QString entryThree = QStringLiteral("第3条已有内容，请先用 ≤ ≥ 查看后再修改。");
    // clang-format off
    QTest::newRow("plan and summary") << 1 << "1" << "新计划" << "新总结" << "";
    QTest::newRow("plan only a line break") << 4 << "4" << "\n" << "总结四" << "";
    QTest::newRow("plan emptied, summary kept") << 2 << "2" << "" << "只改了总结" << "";
    QTest::newRow("both emptied") << 3 << "3" << "" << "" << "";
    QTest::newRow("an empty entry not shown") << 1 << "20" << "计划" << "总结" << "";
    QTest::newRow("an entry not shown holds text") << 1 << "3" << "计划" << "总结" << entryThree;
    QTest::newRow("0 is no entry") << 1 << "0" << "计划" << "总结" << QString(kBadNumberMessage);
    QTest::newRow("empty number") << 1 << "" << "计划" << "总结" << QString(kBadNumberMessage);
    QTest::newRow("letters") << 1 << "1a" << "计划" << "总结" << QString(kBadNumberMessage);
    // clang-format on
}

void TestPlans::store() {
    QFETCH(int, shown);
    QFETCH(QString, box);
    QFETCH(QString, plan);
    QFETCH(QString, summary);
    QFETCH(QString, message);

    TestWorkbook wb;
    seed(wb);
    MessageRecorder recorder;
    PlanSummaryForm f;
    if (shown > 1) {
        numberBox(f)->setText(QString::number(shown - 1));
        click(f, "CommandButton7");
    }
    numberBox(f)->setText(box);
    planBox(f)->setPlainText(plan);
    summaryBox(f)->setPlainText(summary);
    wb.requests().log.clear();

    click(f, "CommandButton8");

    const std::optional<int> number = numberBoxValue(box);
    const int row = number ? rowOf(*number) : 0;
    // Another entry than the one shown is read first: its texts are not
    // written over unseen.
    const QStringList checked = number && *number != shown ? loads(row) : QStringList();
    if (!message.isEmpty()) {
        QCOMPARE(recorder.texts(), QStringList{message});
        QCOMPARE(wb.requests().log, checked);
        QCOMPARE(wb.cell(kListsSheet, QStringLiteral("AJ4")), QStringLiteral("计划4\n第二行"));
        QCOMPARE(wb.cell(kListsSheet, QStringLiteral("AU4")), QStringLiteral("总结4"));
        return;
    }
    QVERIFY(recorder.messages().isEmpty());
    const QStringList stores = {QStringLiteral("writeRaw Sheet1!AJ%1=%2").arg(row).arg(plan),
                                QStringLiteral("writeRaw Sheet1!AU%1=%2").arg(row).arg(summary),
                                QStringLiteral("save")};
    QCOMPARE(wb.requests().log, checked + stores);
    QCOMPARE(wb.cell(kListsSheet, address(kPlanColumn, row)), plan);
    QCOMPARE(wb.cell(kListsSheet, address(kSummaryColumn, row)), summary);
}

void TestPlans::firstMouseMovement_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typedPlan");  // typed into the box before the movement
    QTest::addColumn<QString>("typedSummary");
    QTest::addColumn<bool>("overSummary");
    QTest::addColumn<int>("reloadedRow");  // 0: no reload
    QTest::addColumn<QString>("message");

    // clang-format off
    QTest::newRow("untouched boxes reload") << "1" << "" << "" << false << 2 << "";
    QTest::newRow("over the summary box") << "1" << "" << "" << true << 2 << "";
    QTest::newRow("the entry in the number box") << "5" << "" << "" << false << 6 << "";
    QTest::newRow("typed plan is kept") << "1" << "改写" << "" << false << 0 << "";
    QTest::newRow("typed summary is kept") << "1" << "" << "补充" << true << 0 << "";
    QTest::newRow("no entry number") << "0" << "" << "" << false << 0 << kBadNumberMessage;
    // clang-format on
}

void TestPlans::firstMouseMovement() {
    QFETCH(QString, box);
    QFETCH(QString, typedPlan);
    QFETCH(QString, typedSummary);
    QFETCH(bool, overSummary);
    QFETCH(int, reloadedRow);
    QFETCH(QString, message);

    TestWorkbook wb;
    seed(wb);
    MessageRecorder recorder;
    PlanSummaryForm f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    numberBox(f)->setText(box);
    type(planBox(f), typedPlan);
    type(summaryBox(f), typedSummary);
    // Someone changed the cells by hand since the window opened.
    wb.put(kListsSheet, address(kPlanColumn, reloadedRow ? reloadedRow : 2),
           QStringLiteral("手改计划"));
    wb.put(kListsSheet, address(kSummaryColumn, reloadedRow ? reloadedRow : 2),
           QStringLiteral("手改总结"));
    const QStringList before = screen(f);
    wb.requests().log.clear();

    moveOver(overSummary ? summaryBox(f) : planBox(f));

    QCOMPARE(recorder.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (reloadedRow == 0) {
        QCOMPARE(wb.requests().log, QStringList());
        QCOMPARE(screen(f), before);
    } else {
        QCOMPARE(wb.requests().log, loads(reloadedRow));
        QCOMPARE(screen(f), (QStringList{box, "手改计划", "手改总结"}));
    }

    // Only the first movement counts: later ones read nothing.
    wb.requests().log.clear();
    wb.put(kListsSheet, address(kPlanColumn, 2), QStringLiteral("再改"));
    moveOver(planBox(f));
    moveOver(summaryBox(f));
    QCOMPARE(wb.requests().log, QStringList());
    QCOMPARE(recorder.messages().size(), message.isEmpty() ? 0 : 1);
}

void TestPlans::aLoadEndsTheEdit() {
    TestWorkbook wb;
    seed(wb);
    PlanSummaryForm f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    type(planBox(f), QStringLiteral("改写"));
    QCOMPARE(planBox(f)->toPlainText(), QStringLiteral("改写计划2\n第二行"));
    click(f, "CommandButton7");  // entry 2 replaces the typing
    wb.put(kListsSheet, QStringLiteral("AJ3"), QStringLiteral("手改计划"));
    wb.requests().log.clear();
    moveOver(planBox(f));
    QCOMPARE(wb.requests().log, loads(3));
    QCOMPARE(planBox(f)->toPlainText(), QStringLiteral("手改计划"));
}

// Closing with typed text asks; 存入 is the window's own store, which
// refuses an entry not shown (the answers themselves: test_common).
void TestPlans::closingAsksAboutTypedText() {
    for (const QString& number : {QStringLiteral("3"), QStringLiteral("1")}) {
        TestWorkbook wb;
        seed(wb);
        MessageRecorder recorder;
        QuestionAnswerer answers(SaveAnswer::Save);
        PlanSummaryForm f;
        f.show();
        type(planBox(f), QStringLiteral("新"));
        numberBox(f)->setText(number);
        click(f, "CommandButton1");
        QCOMPARE(answers.asked().size(), 1);
        QCOMPARE(f.isVisible(), number == QStringLiteral("3"));
        QCOMPARE(wb.cell(kListsSheet, QStringLiteral("AJ2")).startsWith(u'新'), !f.isVisible());
    }
}

void TestPlans::copy_data() {
    QTest::addColumn<int>("planStart");  // -1: no selection
    QTest::addColumn<int>("planLength");
    QTest::addColumn<int>("summaryStart");
    QTest::addColumn<int>("summaryLength");
    QTest::addColumn<QString>("clipboard");

    // Entry 1: plan "计划2\n第二行", summary "总结2".
    QTest::newRow("both selected: the plan's wins") << 0 << 3 << 2 << 1 << "计划2";
    QTest::newRow("summary only") << -1 << 0 << 0 << 2 << "总结";
    QTest::newRow("plan only, across the line break") << 2 << 4 << -1 << 0 << "2\n第二";
    QTest::newRow("nothing selected") << -1 << 0 << -1 << 0 << "";
}

void TestPlans::copy() {
    QFETCH(int, planStart);
    QFETCH(int, planLength);
    QFETCH(int, summaryStart);
    QFETCH(int, summaryLength);
    QFETCH(QString, clipboard);

    TestWorkbook wb;
    seed(wb);
    MessageRecorder recorder;
    PlanSummaryForm f;
    QGuiApplication::clipboard()->setText(QStringLiteral("旧的内容"));
    if (planStart >= 0)
        select(planBox(f), planStart, planLength);
    if (summaryStart >= 0)
        select(summaryBox(f), summaryStart, summaryLength);
    wb.requests().log.clear();

    click(f, "CommandButton9");

    if (clipboard.isEmpty()) {
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("旧的内容"));
        QCOMPARE(recorder.texts(), QStringList{QStringLiteral("没有选中任何文字，未复制。")});
    } else {
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(recorder.texts(), QStringList{kCopied});
        QCOMPARE(recorder.messages().constFirst().title, QStringLiteral("《Velmora》vm2.1"));
    }
    QCOMPARE(wb.requests().log, QStringList());
}

void TestPlans::failedLoadKeepsNumberAndBoxesTogether() {
    TestWorkbook wb;
    seed(wb);
    MessageRecorder recorder;
    PlanSummaryForm f;
    planBox(f)->setPlainText(QStringLiteral("第一条的计划"));
    wb.requests().failing = true;
    click(f, "CommandButton7");
    QCOMPARE(recorder.messages().size(), 1);
    QCOMPARE(numberBox(f)->text(), QStringLiteral("1"));
    QCOMPARE(planBox(f)->toPlainText(), QStringLiteral("第一条的计划"));

    click(f, "CommandButton8");  // the save fails too, with a message
    QCOMPARE(recorder.messages().size(), 2);
    wb.requests().failing = false;
    click(f, "CommandButton8");  // the window still works, on entry 1
    QCOMPARE(recorder.messages().size(), 2);
    QCOMPARE(wb.cell(kListsSheet, QStringLiteral("AJ2")), QStringLiteral("第一条的计划"));
    QCOMPARE(wb.cell(kListsSheet, QStringLiteral("AJ3")), QStringLiteral("计划3\n第二行"));
}

QTEST_MAIN(TestPlans)
#include "test_plans.moc"
