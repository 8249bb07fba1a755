// The score query: which cells each step reads, in which order and how
// often, what the controls then show, and the messages for bad numbers.
#include "common/messages.h"
#include "common/numberbox.h"
#include "scores/scorequeryform.h"
#include "testworkbook.h"
#include "workbook/layout.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace velmora;
using namespace velmora::layout;
using velmora::scores::ScoreQueryForm;
using velmora::test::TestWorkbook;

namespace {
const QString kFillIn = QStringLiteral("请先在学生序号中填写号码");
const QString kNothing = QStringLiteral("无内容可查!");

// Value labels in the order of the columns C..R.
const QStringList kValueLabels = {"Label12", "Label13", "Label14", "Label15", "Label16", "Label17",
                                  "Label11", "Label26", "Label27", "Label28", "Label29", "Label30",
                                  "Label31", "Label25", "Label33", "Label35"};
const QStringList kHeadingLabels = {
    "Label4",  "Label5",  "Label6",  "Label7",  "Label8",  "Label9",  "Label10", "Label19",
    "Label20", "Label21", "Label22", "Label23", "Label24", "Label18", "Label32", "Label34"};
constexpr int kLastSeededRow = 14;

// Every cell the form may show for rows 1..kLastSeededRow, each text naming its cell.
void seed(TestWorkbook& wb) {
    for (int row = 1; row <= kLastSeededRow; ++row) {
        for (const QString& c : scoreColumns())
            wb.put(kScoresSheet, address(c, row), QStringLiteral("分%1%2").arg(c).arg(row));
        wb.put(kCommentsSheet, address(QStringLiteral("B"), row),
               QStringLiteral("姓名%1").arg(row));
        wb.put(kCommentsSheet, address(QStringLiteral("C"), row),
               QStringLiteral("评语%1").arg(row));
        wb.put(kArchiveSheet, address(QStringLiteral("B"), row), QStringLiteral("2003%1").arg(row));
    }
}

QString seeded(const QString& text, int row) {
    return row <= kLastSeededRow ? text : QString();
}

// What the form shows: the number box, the three text boxes, the sixteen values.
QStringList screen(ScoreQueryForm& f) {
    QStringList out = {f.findChild<QLineEdit*>("TextBox12")->text(),
                       f.findChild<QLineEdit*>("TextBox20")->text(),
                       f.findChild<QLineEdit*>("TextBox14")->text(),
                       f.findChild<QPlainTextEdit*>("TextBox21")->toPlainText()};
    for (const QString& name : kValueLabels) out << f.findChild<QLabel*>(name)->text();
    return out;
}

// The screen after student row `row` was shown in full, box text `box`.
QStringList screenOfRow(const QString& box, int row) {
    QStringList out = {box,
                       QStringLiteral("学号:") + seeded(QStringLiteral("2003%1").arg(row), row),
                       seeded(QStringLiteral("姓名%1").arg(row), row),
                       seeded(QStringLiteral("评语%1").arg(row), row)};
    for (const QString& c : scoreColumns())
        out << seeded(QStringLiteral("分%1%2").arg(c).arg(row), row);
    return out;
}

QStringList changeReads(int row) {
    return {QStringLiteral("read 写评语!B%1").arg(row),
            QStringLiteral("read 学生档案!B%1").arg(row)};
}

QStringList showReads(int row) {
    QStringList out;
    for (const QString& c : scoreColumns())
        out << QStringLiteral("read 各科成绩!%1%2").arg(c).arg(row);
    out << QStringLiteral("read 写评语!C%1").arg(row);
    return out;
}

void click(ScoreQueryForm& f, const QString& button) {
    f.findChild<QPushButton*>(button)->click();
}

// Shows student 3 in full, then puts `text` into the number box: the labels
// then hold a student, so "nothing changed" can be told from "emptied".
void prepare(ScoreQueryForm& f, const QString& text) {
    f.findChild<QLineEdit*>("TextBox12")->setText(QStringLiteral("3"));
    click(f, QStringLiteral("CommandButton6"));
    f.findChild<QLineEdit*>("TextBox12")->setText(text);
}
}  // namespace

class TestScores : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openingReadsTheHeadingsOnly();
    void buttons_data();
    void buttons();
    void typing_data();
    void typing();
    void nothingIsCached();
    void templateFollowsTheOtherSheets();
    void hostFailureLeavesTheFormUsable();
    void longValuesNeverWidenTheWindow();
};

void TestScores::openingReadsTheHeadingsOnly() {
    TestWorkbook wb;
    seed(wb);
    ScoreQueryForm f;
    QStringList headingReads;
    for (const QString& c : scoreColumns())
        headingReads << QStringLiteral("read 各科成绩!") + address(c, kHeadingRow);
    QCOMPARE(wb.requests().log, headingReads);
    for (qsizetype i = 0; i < kHeadingLabels.size(); ++i)
        QCOMPARE(f.findChild<QLabel*>(kHeadingLabels[i])->text(),
                 QStringLiteral("分") + address(scoreColumns()[i], kHeadingRow));
    QStringList empty;
    for (int i = 0; i < 20; ++i) empty << QString();
    QCOMPARE(screen(f), empty);
    QCOMPARE(f.windowTitle(), QStringLiteral("查询成绩"));
    f.show();
    f.findChild<QPushButton*>("CommandButton2")->click();
    QVERIFY(!f.isVisible());
}

void TestScores::buttons_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");  // empty: none
    QTest::addColumn<QString>("boxAfter");
    QTest::addColumn<int>("shownRow");  // 0: nothing read

    const QString show = QStringLiteral("CommandButton6");
    const QString next = QStringLiteral("CommandButton7");
    const QString prev = QStringLiteral("CommandButton5");
    // clang-format off
    QTest::newRow("empty, show") << "" << show << kFillIn << "" << 0;
    QTest::newRow("empty, next") << "" << next << kFillIn << "" << 0;
    QTest::newRow("empty, previous") << "" << prev << kFillIn << "" << 0;
    QTest::newRow("1, previous") << "1" << prev << kNothing << "1" << 0;
    QTest::newRow("0, previous") << "0" << prev << kNothing << "0" << 0;
    QTest::newRow("2, previous") << "2" << prev << "" << "1" << 2;
    QTest::newRow("leading blank 7, next") << " 7" << next << "" << "8" << 9;
    QTest::newRow("12, show") << "12" << show << "" << "12" << 13;
    QTest::newRow("full-width 5, next") << "５" << next << "" << "6" << 7;
    QTest::newRow("past the filled rows, next") << "200" << next << "" << "201" << 202;
    QTest::newRow("letters, show") << "7a" << show << kBadNumberMessage << "7a" << 0;
    QTest::newRow("fraction, next") << "1.5" << next << kBadNumberMessage << "1.5" << 0;
    QTest::newRow("last row, next") << "65535" << next << kNothing << "65535" << 0;
    QTest::newRow("past the sheet, show") << "65536" << show << kBadNumberMessage << "65536" << 0;
    // clang-format on
}

void TestScores::buttons() {
    QFETCH(QString, box);
    QFETCH(QString, button);
    QFETCH(QString, message);
    QFETCH(QString, boxAfter);
    QFETCH(int, shownRow);

    TestWorkbook wb;
    seed(wb);
    MessageRecorder recorder;
    ScoreQueryForm f;
    prepare(f, box);
    const QStringList before = screen(f);
    wb.requests().log.clear();

    click(f, button);

    if (message.isEmpty()) {
        QVERIFY(recorder.messages().isEmpty());
    } else {
        QCOMPARE(recorder.texts(), QStringList{message});
        QCOMPARE(recorder.messages().constFirst().title, QStringLiteral("Velmoravm2.1"));
    }
    if (shownRow == 0) {
        QVERIFY(wb.requests().log.isEmpty());
        QStringList after = before;
        if (message == kFillIn)
            after[3] = QStringLiteral(" ");
        QCOMPARE(screen(f), after);
        return;
    }
    const bool step = button != QLatin1String("CommandButton6");
    // A step rewrites the number box first (2 reads), then shows the student (17).
    const QStringList expected =
        (step ? changeReads(shownRow) : QStringList()) + showReads(shownRow);
    QCOMPARE(wb.requests().log, expected);
    QCOMPARE(wb.requests().log.size(), step ? 19 : 17);
    QStringList shown = screenOfRow(boxAfter, shownRow);
    if (!step) {  // the roll line and the name stay from the box's change
        shown[1] = before[1];
        shown[2] = before[2];
    }
    QCOMPARE(screen(f), shown);
}

void TestScores::typing_data() {
    QTest::addColumn<QString>("keys");     // '<' is a backspace
    QTest::addColumn<QList<int>>("rows");  // row read after each key, 0: none

    QTest::newRow("12") << "12" << QList<int>{2, 13};
    QTest::newRow("letters are passed over") << "7x" << QList<int>{8, 0};
    QTest::newRow("zero is no student") << "0" << QList<int>{0};
    QTest::newRow("deleting back to empty") << "12<<" << QList<int>{2, 13, 2, 0};
}

void TestScores::typing() {
    QFETCH(QString, keys);
    QFETCH(QList<int>, rows);

    TestWorkbook wb;
    seed(wb);
    MessageRecorder recorder;
    ScoreQueryForm f;
    prepare(f, QString());
    auto* box = f.findChild<QLineEdit*>("TextBox12");
    QStringList expected = screen(f);

    for (qsizetype i = 0; i < keys.size(); ++i) {
        wb.requests().log.clear();
        if (keys[i] == u'<')
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClicks(box, QString(keys[i]));
        expected[0] = box->text();
        if (rows[i] == 0) {
            QCOMPARE(wb.requests().log, QStringList());
        } else {
            QCOMPARE(wb.requests().log, changeReads(rows[i]));
            // The roll line and the name follow the box; the large box empties;
            // the scores keep the student shown last (row 4).
            expected[1] = screenOfRow(QString(), rows[i])[1];
            expected[2] = screenOfRow(QString(), rows[i])[2];
            expected[3] = QString();
        }
        QCOMPARE(screen(f), expected);
    }
    QVERIFY(recorder.messages().isEmpty());
    QCOMPARE(screen(f).mid(4), screenOfRow(QString(), 4).mid(4));
}

void TestScores::nothingIsCached() {
    TestWorkbook wb;
    seed(wb);
    ScoreQueryForm f;
    prepare(f, QStringLiteral("5"));
    wb.put(kScoresSheet, QStringLiteral("H6"), QStringLiteral("98"));
    wb.put(kScoresSheet, QStringLiteral("D1"), QStringLiteral("改过的标题"));
    wb.put(kCommentsSheet, QStringLiteral("C6"), QStringLiteral("新评语"));
    wb.requests().log.clear();
    click(f, QStringLiteral("CommandButton6"));
    QCOMPARE(wb.requests().log, showReads(6));
    QCOMPARE(f.findChild<QLabel*>("Label17")->text(), QStringLiteral("98"));
    QCOMPARE(f.findChild<QPlainTextEdit*>("TextBox21")->toPlainText(), QStringLiteral("新评语"));
    QCOMPARE(f.findChild<QLabel*>("Label5")->text(),
             QStringLiteral("分D1"));  // read at opening only
}

// The shipped workbook fills the score query's cells from the other sheets:
// the first heading is the subject named in 设置, the name and the large box
// come from the student archive.
void TestScores::templateFollowsTheOtherSheets() {
    TestWorkbook wb;
    wb.put(kSettingsSheet, QStringLiteral("B11"), QStringLiteral("思想品德"));
    wb.put(kArchiveSheet, QStringLiteral("A3"), QStringLiteral("2"));
    wb.put(kArchiveSheet, QStringLiteral("C3"), QStringLiteral("李四"));
    ScoreQueryForm f;
    QCOMPARE(f.findChild<QLabel*>("Label4")->text(), QStringLiteral("思想品德"));
    QCOMPARE(f.findChild<QLabel*>("Label18")->text(), QStringLiteral("总分"));
    f.findChild<QLineEdit*>("TextBox12")->setText(QStringLiteral("2"));
    click(f, QStringLiteral("CommandButton6"));
    QCOMPARE(f.findChild<QLineEdit*>("TextBox14")->text(), QStringLiteral("李四"));
    QCOMPARE(f.findChild<QPlainTextEdit*>("TextBox21")->toPlainText(), QStringLiteral("尚无成绩"));
}

void TestScores::hostFailureLeavesTheFormUsable() {
    TestWorkbook wb;
    seed(wb);
    MessageRecorder recorder;
    wb.requests().failing = true;
    ScoreQueryForm f;  // the headings cannot be read
    QCOMPARE(recorder.messages().size(), 1);
    f.findChild<QLineEdit*>("TextBox12")->setText(QStringLiteral("2"));  // the change fails
    click(f, QStringLiteral("CommandButton7"));
    QCOMPARE(recorder.messages().size(), 3);  // one message per failed step
    QCOMPARE(recorder.messages().last().title, QStringLiteral("Velmoravm2.1"));

    wb.requests().failing = false;
    click(f, QStringLiteral("CommandButton6"));
    QCOMPARE(recorder.messages().size(), 3);
    QCOMPARE(screen(f).mid(3), screenOfRow(QString(), 4).mid(3));
}

// A heading or score too long for its label is cut short with "…" and
// shown whole as the label's tooltip; the window keeps its size.
void TestScores::longValuesNeverWidenTheWindow() {
    TestWorkbook wb;
    seed(wb);
    const QString longText = QStringLiteral("期中考试缺考，已于十一月补考，成绩另行登记在补考表中");
    wb.put(kScoresSheet, QStringLiteral("C1"), longText);
    wb.put(kScoresSheet, QStringLiteral("D3"), longText + QStringLiteral("\n第二行"));
    ScoreQueryForm f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QSize size = f.size();
    f.findChild<QLineEdit*>("TextBox12")->setText(QStringLiteral("2"));
    click(f, QStringLiteral("CommandButton6"));
    QApplication::processEvents();
    QCOMPARE(f.size(), size);
    for (const auto& [label, text] : {std::pair{"Label4", longText},
                                      std::pair{"Label13", longText + "\n第二行"}}) {
        auto* shown = f.findChild<QLabel*>(label);
        QVERIFY2(shown->text().endsWith(u'…'), qPrintable(shown->text()));
        QCOMPARE(shown->toolTip(), text);
    }
    // A value that fits shows as it is, without a tooltip.
    QCOMPARE(f.findChild<QLabel*>("Label12")->text(), QStringLiteral("分C3"));
    QVERIFY(f.findChild<QLabel*>("Label12")->toolTip().isEmpty());
}

QTEST_MAIN(TestScores)
#include "test_scores.moc"
