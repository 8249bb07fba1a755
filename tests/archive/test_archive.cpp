// The record card over a class workbook: look-up, browsing, storing, the
// name mirror, closing, and what bad input and a failing host leave behind.
#include "archive/studentarchiveform.h"
#include "common/messages.h"
#include "common/numberbox.h"
#include "common/plaintext.h"
#include "common/savequestion.h"
#include "common/singlewindow.h"
#include "testworkbook.h"
#include "xlrdreading.h"
#include "workbook/layout.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace velmora;
using velmora::archive::StudentArchiveForm;


namespace {
const QString kSheet = layout::kArchiveSheet;
// The record card's columns in box order: A..P, R..AV.
const QStringList kColumns = QStringLiteral(
                                 "A B C D E F G H I J K L M N O P R S T U V W X Y Z AA AB AC AD "
                                 "AE AF AG AH AI AJ AK AL AM AN AO AP AQ AR AS AT AU AV")
                                 .split(u' ');
const QString kAsk = QStringLiteral("请先在学生序号中填写号码");
const QString kNotWritten = QStringLiteral("该生档案还没书写!");
const QString kNothing = QStringLiteral("无内容可查!");

// A window over a fresh workbook, with every message recorded.
struct Card {
    test::TestWorkbook book;
    MessageRecorder messages;
    StudentArchiveForm form;

    Card() {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    QLineEdit* box(int n) { return form.findChild<QLineEdit*>(QStringLiteral("TextBox%1").arg(n)); }
    // TextBox46 and TextBox47 hold several lines.
    QPlainTextEdit* lines(int n) {
        return form.findChild<QPlainTextEdit*>(QStringLiteral("TextBox%1").arg(n));
    }
    QString text(int n) { return box(n) ? box(n)->text() : velmora::plainText(*lines(n)); }
    void setText(int n, const QString& text) {
        if (box(n))
            box(n)->setText(text);
        else
            lines(n)->setPlainText(text);
    }
    void click(int button) {
        QTest::mouseClick(
            form.findChild<QPushButton*>(QStringLiteral("CommandButton%1").arg(button)),
            Qt::LeftButton);
    }
    // Student n's row: column A holds n, C the name (if any), every other
    // field its own address, Q a value that belongs to no field.
    void seed(int number, const QString& name) {
        const int row = layout::rowOf(number);
        for (const QString& c : kColumns)
            book.put(kSheet, c + QString::number(row), c + QString::number(row));
        book.put(kSheet, layout::address("A", row), QString::number(number));
        book.put(kSheet, layout::address("C", row), name);
        book.put(kSheet, layout::address("Q", row), QStringLiteral("Q列"));
    }
    QStringList texts() {
        QStringList out;
        for (int n = 1; n <= 48; ++n) out << text(n);
        return out;
    }
    QStringList reads(int row) const {
        QStringList out;
        for (const QString& c : kColumns)
            out << QStringLiteral("read %1!%2%3").arg(kSheet, c).arg(row);
        return out;
    }
    void verifyOnlyFormTitles() {
        for (const auto& m : messages.messages()) QCOMPARE(m.title, QStringLiteral("Velmoravm2.1"));
    }
};
}  // namespace

class TestArchive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsStudent_data();
    void showsStudent();
    void refusals_data();
    void refusals();
    void stepsPastLastStudent();
    void readsWholeRowBeforeShowingIt();
    void storesTheCard_data();
    void storesTheCard();
    void nameMirror();
    void closingAsksAboutTypedText_data();
    void closingAsksAboutTypedText();
    void unseenRecordIsNeverReplaced_data();
    void unseenRecordIsNeverReplaced();
    void recordsOfSeveralLines();
    void hostFailureLeavesCardAsItWas_data();
    void hostFailureLeavesCardAsItWas();
};

void TestArchive::showsStudent_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("number");  // typed into the number box
    QTest::addColumn<int>("shown");       // the student shown; 0: nothing read
    QTest::addColumn<QString>("name");    // the name box before the click
    QTest::addColumn<QStringList>("expected");
    const QStringList none;
    const QStringList nothing{kNothing};
    QTest::newRow("look up") << 2 << "5" << 5 << "" << none;
    QTest::newRow("look up with blanks") << 2 << " 3 " << 3 << "" << none;
    QTest::newRow("look up full-width") << 2 << "１２" << 12 << "" << none;
    QTest::newRow("look up empty row") << 2 << "300" << 300 << "" << QStringList{kNotWritten};
    QTest::newRow("next") << 4 << "5" << 6 << "" << none;
    QTest::newRow("next with blanks") << 4 << " 5" << 6 << "" << none;
    QTest::newRow("previous") << 5 << "5" << 4 << "" << none;
    QTest::newRow("previous from 2") << 5 << "２" << 1 << "" << none;
    QTest::newRow("previous from 1") << 5 << "1" << 0 << "张三" << nothing;
    QTest::newRow("previous from 1, no name")
        << 5 << "1" << 0 << "" << QStringList{kNothing, kNotWritten};
    QTest::newRow("previous from 0") << 5 << "0" << 0 << "" << QStringList{kNothing, kNotWritten};
    QTest::newRow("previous from full-width 0") << 5 << " ０ " << 0 << "李四" << nothing;
    QTest::newRow("next from the sheet's last student") << 4 << "65535" << 0 << "王五" << nothing;
}

void TestArchive::showsStudent() {
    QFETCH(int, button);
    QFETCH(QString, number);
    QFETCH(int, shown);
    QFETCH(QString, name);
    QFETCH(QStringList, expected);
    Card card;
    for (int n : {1, 3, 4, 5, 6, 12}) card.seed(n, QStringLiteral("学生%1").arg(n));
    card.box(1)->setText(number);
    card.box(3)->setText(name);
    const QStringList before = card.texts();

    card.click(button);

    QCOMPARE(card.messages.texts(), expected);
    card.verifyOnlyFormTitles();
    if (shown == 0) {
        QVERIFY(card.book.requests().log.isEmpty());
        QCOMPARE(card.texts(), before);
        return;
    }
    const int row = layout::rowOf(shown);
    QCOMPARE(card.book.requests().log, card.reads(row));
    for (int i = 0; i < kColumns.size(); ++i)
        QCOMPARE(card.text(i + 1),
                 card.book.cell(kSheet, kColumns[i] + QString::number(row)));
    QCOMPARE(card.box(48)->text(), card.box(3)->text());
    QVERIFY(!card.texts().contains(QStringLiteral("Q列")));
}

void TestArchive::refusals_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");  // the name box before the click
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("blanksName");  // the name and its display become " "
    const QString name = QStringLiteral("张三");
    for (int button : {2, 4, 5})
        QTest::addRow("button %d, empty", button) << button << "" << name << kAsk << true;
    QTest::newRow("look up, empty, name already blank") << 2 << ""
                                                        << " " << kAsk << true;
    QTest::newRow("save, empty") << 3 << "" << name << QStringLiteral("该生档案书写!不能保存!")
                                 << false;
    const QStringList bad = {"abc", "-2", "2.5", "1e2", "65536", "99999999999", " ", "3 4", "+3"};
    for (int button : {2, 3, 4, 5})
        for (const QString& text : bad + (button == 5 ? QStringList{} : QStringList{"0", "00"}))
            QTest::addRow("button %d, \"%s\"", button, qPrintable(text))
                << button << text << name << kBadNumberMessage << false;
}

void TestArchive::refusals() {
    QFETCH(int, button);
    QFETCH(QString, number);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(bool, blanksName);
    Card card;
    card.seed(1, QStringLiteral("学生1"));
    card.box(1)->setText(number);
    card.box(3)->setText(name);
    card.box(48)->setText(QStringLiteral("别的"));
    QStringList expected = card.texts();
    if (blanksName)
        expected[2] = expected[47] = QStringLiteral(" ");
    card.click(button);
    QCOMPARE(card.messages.texts(), QStringList{message});
    card.verifyOnlyFormTitles();
    QVERIFY(card.book.requests().log.isEmpty());
    QCOMPARE(card.texts(), expected);
}

void TestArchive::stepsPastLastStudent() {
    Card card;
    card.seed(300, QStringLiteral("末位"));
    card.box(1)->setText("300");
    card.click(4);
    QCOMPARE(card.book.requests().log, card.reads(302));
    QCOMPARE(card.texts(), QStringList(48));  // every box empty, the number box too
    QCOMPARE(card.messages.texts(), QStringList{kNotWritten});
    card.click(4);
    QCOMPARE(card.messages.texts(), (QStringList{kNotWritten, kAsk}));
    QCOMPARE(card.book.requests().log.size(), kColumns.size());  // nothing more read
}

// A host failing half-way through a row must not leave a card that mixes two
// students, which a save would then write into one row.
void TestArchive::readsWholeRowBeforeShowingIt() {
    Card card;
    card.seed(8, QStringLiteral("学生8"));
    card.box(1)->setText("7");
    QList<qsizetype> requestsSeen;
    const auto seen = [&] { requestsSeen << card.book.requests().log.size(); };
    for (int n = 1; n <= 47; ++n)
        card.box(n) ? connect(card.box(n), &QLineEdit::textChanged, this, seen)
                    : connect(card.lines(n), &QPlainTextEdit::textChanged, this, seen);
    card.click(4);
    QVERIFY(requestsSeen.size() >= 47);
    QCOMPARE(requestsSeen.count(kColumns.size()), requestsSeen.size());
}

void TestArchive::storesTheCard_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("filled");  // false: every box but the number is empty
    QTest::newRow("student 7") << "7" << 8 << true;
    QTest::newRow("student 1") << "1" << 2 << true;
    QTest::newRow("last student") << "65535" << 65536 << true;
    QTest::newRow("empty boxes clear cells") << "7" << 8 << false;
}

void TestArchive::storesTheCard() {
    QFETCH(QString, number);
    QFETCH(int, row);
    QFETCH(bool, filled);
    Card card;
    for (const QString& c : kColumns + QStringList{"Q"})
        card.book.put(kSheet, c + QString::number(row), QStringLiteral("旧") + c);
    card.book.put(kSheet, "A" + QString::number(row), number);
    // The teacher looks the student up, then edits the card.
    card.box(1)->setText(number);
    card.click(2);
    for (int n = 2; n <= 47; ++n)
        card.setText(n, filled ? QStringLiteral("新%1\n第二行").arg(n) : QString());
    card.box(48)->setText(QStringLiteral("不存"));
    card.book.requests().log.clear();

    card.click(3);

    QVERIFY(card.messages.texts().isEmpty());
    QStringList expectedLog;
    for (int i = 0; i < kColumns.size(); ++i) {
        const QString cell = kColumns[i] + QString::number(row);
        expectedLog << QStringLiteral("writeRaw %1!%2=%3").arg(kSheet, cell, card.text(i + 1));
        QCOMPARE(card.book.cell(kSheet, cell), card.text(i + 1));
    }
    QCOMPARE(card.book.requests().log, expectedLog << "save");
    QCOMPARE(card.book.cell(kSheet, "A" + QString::number(row)), number);
    QCOMPARE(card.book.cell(kSheet, "Q" + QString::number(row)), QStringLiteral("旧Q"));

    // The saved file, as an independent reader sees it: text cells where the
    // boxes held text, no cell where they were empty, Q as it was.
    const auto file = test::readWithXlrd(card.book.path());
    if (!file)
        QSKIP("python3-xlrd is not installed");
    for (int i = 0; i < kColumns.size(); ++i) {
        const QJsonArray saved = test::xlrdCell(*file, kSheet, kColumns[i] + QString::number(row));
        const QString text = card.text(i + 1);
        if (text.isEmpty())
            QVERIFY2(saved.isEmpty(), qPrintable(kColumns[i]));
        else
            QCOMPARE(saved, (QJsonArray{QStringLiteral("text"), text}));
    }
    QCOMPARE(test::xlrdCell(*file, kSheet, "Q" + QString::number(row)),
             (QJsonArray{QStringLiteral("text"), QStringLiteral("旧Q")}));
}

void TestArchive::nameMirror() {
    Card card;
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("王小明"));
    card.box(3)->setFocus();
    QApplication::sendEvent(card.box(3), &typed);
    QCOMPARE(card.box(3)->text(), QStringLiteral("王小明"));
    QCOMPARE(card.box(48)->text(), QStringLiteral("王小明"));

    QTest::keyClicks(card.box(48), "xyz");
    QCOMPARE(card.box(3)->text(), QStringLiteral("王小明"));
    card.box(1)->setText("4");
    card.click(3);
    QCOMPARE(card.book.requests().count("writeRaw"), kColumns.size());
    QVERIFY(!card.book.requests().log.join('\n').contains("xyz"));
}

void TestArchive::closingAsksAboutTypedText_data() {
    QTest::addColumn<bool>("looksUp");  // student 5 looked up first
    QTest::addColumn<QString>("typed");  // into the name box
    QTest::addColumn<bool>("closes");
    QTest::newRow("only a number typed: no question") << false << "" << true;
    QTest::newRow("存入 stores") << true << "改过" << true;
    QTest::newRow("存入 refused: stays open") << false << "改过" << false;
}

// Closing with typed text asks; 存入 is the card's own store, and a store it
// refuses keeps the card open (the answers themselves: test_common).
void TestArchive::closingAsksAboutTypedText() {
    QFETCH(bool, looksUp);
    QFETCH(QString, typed);
    QFETCH(bool, closes);
    QuestionAnswerer answers(SaveAnswer::Save);
    Card card;
    card.seed(5, QStringLiteral("学生5"));
    card.box(1)->setText("5");
    if (looksUp)
        card.click(2);
    if (!typed.isEmpty())
        card.setText(3, typed);
    card.click(1);
    QCOMPARE(answers.asked().size(), typed.isEmpty() ? 0 : 1);
    QCOMPARE(card.form.isVisible(), !closes);
    QCOMPARE(card.book.cell(kSheet, "C6"), looksUp ? typed : QStringLiteral("学生5"));
}

// Storing into a row that holds a record is done only from boxes loaded from
// that row: otherwise nothing is written or saved, and the message says
// what to do. An empty row is stored as always.
void TestArchive::unseenRecordIsNeverReplaced_data() {
    QTest::addColumn<QString>("lookedUp");  // "": none
    QTest::addColumn<int>("number");        // in the box at the store
    QTest::addColumn<bool>("stored");
    QTest::newRow("student 1 looked up, stored as 3") << "1" << 3 << false;
    QTest::newRow("nothing looked up") << "" << 3 << false;
    QTest::newRow("empty row looked up, stored as 3") << "9" << 3 << false;
    QTest::newRow("student 3 looked up") << "3" << 3 << true;
    QTest::newRow("empty row, nothing looked up") << "" << 9 << true;
}

void TestArchive::unseenRecordIsNeverReplaced() {
    QFETCH(QString, lookedUp);
    QFETCH(int, number);
    QFETCH(bool, stored);
    Card card;
    card.seed(1, QStringLiteral("学生1"));
    card.seed(3, QStringLiteral("学生3"));
    card.box(1)->setText(lookedUp);
    if (!lookedUp.isEmpty())
        card.click(2);
    card.messages.clear();
    card.setText(2, QStringLiteral("新学号"));
    card.box(1)->setText(QString::number(number));
    card.click(3);
    const QString roll = layout::address("B", layout::rowOf(number));
    QCOMPARE(card.book.cell(kSheet, roll), stored ? QStringLiteral("新学号") : roll);
    QCOMPARE(card.book.requests().count("save"), stored ? 1 : 0);
    QCOMPARE(card.messages.texts(),
             stored ? QStringList()
                    : QStringList{QStringLiteral("第%1号学生已有档案，请先点“输入序号查学生情况”查看，"
                                                 "再修改保存。")
                                      .arg(number)});
}

// 家访记录 and 在校表现 take several lines: Return makes a line break, stored
// as LF and shown again as a line break; a record loaded and stored unchanged
// writes back exactly what each cell held, in single-line boxes too.
void TestArchive::recordsOfSeveralLines() {
    Card card;
    card.box(1)->setText("2");
    card.click(2);
    QPlainTextEdit* visits = card.lines(46);
    QVERIFY(visits && card.lines(47));
    visits->setFocus();
    for (const QString& line : {QStringLiteral("9月3日家访"), QStringLiteral("10月8日电话联系")}) {
        if (line.startsWith(u'1'))
            QTest::keyClick(visits, Qt::Key_Return);
        QInputMethodEvent commit;
        commit.setCommitString(line);
        QApplication::sendEvent(visits, &commit);
    }
    card.box(1)->setText("2");
    card.click(3);
    QCOMPARE(card.book.cell(kSheet, "AU3"), QStringLiteral("9月3日家访\n10月8日电话联系"));

    const QString tricky = QStringLiteral("第一行\n第二行\u00A0 末尾空格  ");
    for (const QString& c : kColumns) card.book.put(kSheet, c + "5", c + tricky);
    card.book.put(kSheet, "A5", "4");
    card.box(1)->setText("4");
    card.click(2);
    QCOMPARE(card.lines(47)->document()->blockCount(), 2);
    card.click(3);
    for (const QString& c : kColumns.mid(1))
        QCOMPARE(card.book.cell(kSheet, c + "5"), c + tricky);
}

void TestArchive::hostFailureLeavesCardAsItWas_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("look up") << 2;
    QTest::newRow("save") << 3;
    QTest::newRow("next") << 4;
    QTest::newRow("previous") << 5;
}

void TestArchive::hostFailureLeavesCardAsItWas() {
    QFETCH(int, button);
    Card card;
    card.seed(4, QStringLiteral("学生4"));
    card.box(1)->setText("5");
    card.box(2)->setText(QStringLiteral("旧学号"));  // no name: a closing check would speak
    const QStringList before = card.texts();
    card.book.requests().failing = true;
    card.click(button);
    QCOMPARE(card.messages.texts().size(), 1);  // what the host said, and nothing else
    card.verifyOnlyFormTitles();
    QCOMPARE(card.texts(), before);

    card.book.requests().failing = false;  // the window is still usable
    card.click(5);
    QCOMPARE(card.box(3)->text(), QStringLiteral("学生4"));
}

QTEST_MAIN(TestArchive)
#include "test_archive.moc"
