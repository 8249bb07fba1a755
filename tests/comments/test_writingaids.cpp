// The writing aids of the comment writer over a class of 50 students whose
// comments share sentences: the length counter, the reuse line, the library
// search and the class overview.
#include "comments/commentwriterform.h"
#include "comments/reuseindex.h"
#include "comments/sentences.h"
#include "common/messages.h"
#include "common/savequestion.h"
#include "formaccess.h"
#include "testworkbook.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTreeWidget>

using namespace velmora;
using namespace velmora::test;
using velmora::comments::CommentWriterForm;

namespace {
const QString kListen = QStringLiteral("上课认真听讲，积极回答问题。");   // students 5, 12
const QString kHomework = QStringLiteral("按时完成作业，字迹工整。");  // 3, 7, 20; in the library

QString own(int n) {
    return QStringLiteral("%1号同学乐于助人，团结同学。").arg(n);
}

// Students 1 to 50 (45 with a roll number only); comments for 1 to 32, a
// blank one for 33; row 53 holds a comment but no student.
void seedClass(TestWorkbook& book) {
    for (int n = 1; n <= 50; ++n) {
        const QString row = QString::number(n + 1);
        book.put("学生档案", (n == 45 ? "B" : "A") + row, QString::number(n));
        book.put("写评语", "B" + row, QStringLiteral("学生%1").arg(n));
        QString comment = n <= 32 ? own(n) : QString(n == 33 ? " " : "");
        if (n == 5 || n == 12)
            comment += kListen;
        if (n == 3 || n == 7 || n == 20)
            comment += "\n" + kHomework;
        book.put("写评语", "AM" + row, comment);
    }
    book.put("写评语", "AM53", "不在班上的一句话。");
}

QString label(QWidget& form, const char* name) {
    return control<QLabel>(form, name)->text();
}

QWidget* overview(QWidget& form) {
    click(form, "OverviewButton");
    return control<QWidget>(form, "ClassOverview");
}

// number -> "length|mark" of every student listed
QMap<int, QString> listed(QWidget* overview) {
    QMap<int, QString> rows;
    auto* list = control<QTreeWidget>(*overview, "OverviewList");
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows[item->text(0).toInt()] = item->text(2) + "|" + item->text(3);
    }
    return rows;
}

// A double-click as the mouse makes it: press and release, then the second
// press arrives as the double-click (QTest's double-click alone is the latter).
void doubleClick(QAbstractItemView* view, const QRect& item) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, item.center());
}

void pickFromSearch(QWidget& form, const QString& query, const QString& sentence) {
    lineBox(form, "LibrarySearch")->setText(query);
    auto* results = control<QListWidget>(form, "SearchResults");
    const QList<QListWidgetItem*> found = results->findItems(sentence, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    results->scrollToItem(found[0]);
    doubleClick(results, results->visualItemRect(found[0]));
}
}  // namespace

class TestWritingAids : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void counterAgreesWithAHandCount_data();
    void counterAgreesWithAHandCount();
    void sentences_data();
    void sentences();
    void reuseLineWording_data();
    void reuseLineWording();
    void pickingASharedSentenceShowsTheNumbers_data();
    void pickingASharedSentenceShowsTheNumbers();
    void overviewCountsAndMarks();
    void overviewOpensAStudent_data();
    void overviewOpensAStudent();
    void searchCoversBothLibraries();
};

void TestWritingAids::counterAgreesWithAHandCount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("warning");
    QTest::newRow("empty") << "" << 0 << true;
    // 上课认真听讲 6, ， 1, 积极回答问题 6, 。 1
    QTest::newRow("Chinese") << kListen << 14 << true;
    // 我 爱 Q t 6 ！ 好 ： blanks and the line break are not counted
    QTest::newRow("mixed") << "我爱Qt 6！\n好" << 7 << true;
    QTest::newRow("indent, ellipsis") << "\u3000\u3000你好……" << 4 << true;
    QTest::newRow("beyond the BMP, accent") << "\U00020000e\u0301" << 2 << true;
    QTest::newRow("59") << QString(59, u'好') << 59 << true;
    QTest::newRow("60 over lines") << QString(30, u'好') + "\r\n" + QString(30, u'A') << 60 << false;
    QTest::newRow("300") << QString(300, u'.') << 300 << false;
    QTest::newRow("301") << QString(301, u'好') << 301 << true;
}

void TestWritingAids::counterAgreesWithAHandCount() {
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(bool, warning);
    TestWorkbook book;
    CommentWriterForm form;
    auto* counter = control<QLabel>(form, "CommentLength");
    const QColor normal = QApplication::palette(counter).color(QPalette::WindowText);
    textBox(form, "TextBox13")->setPlainText(text);
    QCOMPARE(counter->text(), QString("已写 %1 字").arg(count));
    QCOMPARE(counter->palette().color(QPalette::WindowText) != normal, warning);
    QTest::keyClicks(textBox(form, "TextBox13"), "ab");  // typed: counted as it goes
    QCOMPARE(counter->text(), QString("已写 %1 字").arg(count + 2));
}

void TestWritingAids::sentences_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sentences");  // joined by |
    QTest::newRow("marks") << "你好。我好！他好？？好" << "你好。|我好！|他好？？|好";
    QTest::newRow("quote stays") << "他说：“好。”然后走了." << "他说：“好。”|然后走了.";
    QTest::newRow("decimal point") << "考了85.5分.很好" << "考了85.5分.|很好";
    QTest::newRow("lines, blanks") << " 一 \n\n\u3000\r\n二!" << "一|二!";
}

void TestWritingAids::sentences() {
    QFETCH(QString, text);
    QFETCH(QString, sentences);
    QCOMPARE(comments::sentencesOf(text).join(u'|'), sentences);
    // Blanks, the end mark and full-width forms do not tell sentences apart.
    QCOMPARE(comments::sentenceKey("上课 认真听讲ＡＢ！"), comments::sentenceKey("上课认真听讲AB。"));
    QVERIFY(comments::sentenceKey("上课认真听讲，") != comments::sentenceKey("上课认真听讲。"));
}

void TestWritingAids::reuseLineWording_data() {
    QTest::addColumn<QStringList>("sentences");  // sentence=numbers
    QTest::addColumn<QString>("line");
    QTest::newRow("elided") << QStringList{kListen + "=5,12"} << "“上课认真听讲……”已用于 5、12 号的评语";
    QTest::newRow("short whole") << QStringList{"热爱劳动！=3"} << "“热爱劳动”已用于 3 号的评语";
    QTest::newRow("many students") << QStringList{"热爱劳动集体，关心同学。=1,2,3,4,5,6,7,8"}
                                   << "“热爱劳动集体……”已用于 1、2、3、4、5、6 等 8 名学生的评语";
    QTest::newRow("many sentences")
        << QStringList{"一二三四=1", "五六七八=2", "九十百千=3", "万亿兆京=4"}
        << "“一二三四”已用于 1 号的评语\n“五六七八”已用于 2 号的评语\n"
           "“九十百千”已用于 3 号的评语\n另有 1 句也已用于其他学生的评语";
    QTest::newRow("none") << QStringList{} << "";
}

void TestWritingAids::reuseLineWording() {
    QFETCH(QStringList, sentences);
    QFETCH(QString, line);
    QList<comments::Reuse> reuses;
    for (const QString& s : sentences) {
        comments::Reuse reuse{s.section(u'=', 0, 0), {}};
        for (const QString& n : s.section(u'=', 1).split(u',')) reuse.numbers << n.toInt();
        reuses << reuse;
    }
    QCOMPARE(comments::reuseLine(reuses), line);
}

void TestWritingAids::pickingASharedSentenceShowsTheNumbers_data() {
    QTest::addColumn<QString>("student");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("line");
    QTest::newRow("homework for 40")
        << "40" << "字迹工整" << kHomework << "“按时完成作业……”已用于 3、7、20 号的评语";
    QTest::newRow("homework for 7, its own left out")
        << "7" << "作业 工整" << kHomework << "“按时完成作业……”已用于 3、20 号的评语";
    QTest::newRow("no number") << "" << "字迹工整" << kHomework
                               << "“按时完成作业……”已用于 3、7、20 号的评语";
    QTest::newRow("unused sentence") << "40" << "Velmora" << "Velmora 自己的一句话。" << "";
}

// The class is read as the window opens; typing and picking read nothing
// more, and the line names the other students at once.
void TestWritingAids::pickingASharedSentenceShowsTheNumbers() {
    QFETCH(QString, student);
    QFETCH(QString, query);
    QFETCH(QString, sentence);
    QFETCH(QString, line);
    TestWorkbook book;
    seedClass(book);
    book.put("Sheet1", "BR2", "Velmora 自己的一句话。");
    CommentWriterForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    lineBox(form, "TextBox12")->setText(student);
    book.requests().log.clear();
    QTest::keyClicks(textBox(form, "TextBox13"), "Hi");  // no end mark before the pick
    pickFromSearch(form, query, sentence);
    QCOMPARE(textBox(form, "TextBox13")->toPlainText(), "Hi" + sentence);
    QCOMPARE(QGuiApplication::clipboard()->text(), sentence);  // as a pick from a library box
    QCOMPARE(label(form, "CommentReuse"), line);
    QVERIFY(book.requests().log.isEmpty());
}

void TestWritingAids::overviewCountsAndMarks() {
    TestWorkbook book;
    seedClass(book);
    MessageRecorder recorder;
    CommentWriterForm form;
    form.show();
    QWidget* list = overview(form);
    QCOMPARE(label(*list, "OverviewProgress"), "已完成 32/50");
    QMap<int, QString> rows = listed(list);
    QCOMPARE(rows.keys().size(), 50);
    QCOMPARE(rows.lastKey(), 50);  // row 53, no student, is not listed
    QList<int> marked;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        if (it.value().endsWith("有"))
            marked << it.key();
    QCOMPARE(marked, (QList<int>{3, 5, 7, 12, 20}));
    QCOMPARE(rows[5], "28|有");  // 5号同学乐于助人，团结同学。 14 + 14
    QCOMPARE(rows[9], "14|");
    QCOMPARE(rows[33], "未写|");  // a blank comment is not written

    // A store reads the class again; the open overview follows.
    lineBox(form, "TextBox12")->setText("40");
    textBox(form, "TextBox13")->setPlainText("四十号。" + kListen);
    click(form, "CommandButton4");
    QCOMPARE(label(*list, "OverviewProgress"), "已完成 33/50");
    QCOMPARE(listed(list)[40], "18|有");
    QCOMPARE(label(form, "CommentReuse"), "“上课认真听讲……”已用于 5、12 号的评语");
    QCOMPARE(book.requests().count("writeRaw") + book.requests().count("write"), 1);
    QVERIFY(recorder.texts().isEmpty());
}

void TestWritingAids::overviewOpensAStudent_data() {
    QTest::addColumn<int>("answer");  // to the question about the typed comment
    QTest::addColumn<QString>("stored");  // AM41 afterwards
    QTest::addColumn<QString>("number");  // the number box afterwards
    QTest::newRow("nothing typed") << -1 << "" << "12";
    QTest::newRow("取消") << int(SaveAnswer::Cancel) << "" << "40";
    QTest::newRow("存入") << int(SaveAnswer::Save) << "四十号还没存的评语。" << "12";
    QTest::newRow("不存入") << int(SaveAnswer::Discard) << "" << "12";
}

// Double-clicking student 12 looks them up as "调该生已有评语修改" does; a
// comment typed for student 40 and not stored is asked about first.
void TestWritingAids::overviewOpensAStudent() {
    QFETCH(int, answer);
    QFETCH(QString, stored);
    QFETCH(QString, number);
    TestWorkbook book;
    seedClass(book);
    MessageRecorder recorder;
    QuestionAnswerer answers(SaveAnswer(qMax(answer, 0)));
    CommentWriterForm form;
    form.show();
    lineBox(form, "TextBox12")->setText("40");
    if (answer >= 0)
        textBox(form, "TextBox13")->setPlainText("四十号还没存的评语。");
    QWidget* window = overview(form);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto* list = control<QTreeWidget>(*window, "OverviewList");

    doubleClick(list, list->visualItemRect(list->topLevelItem(11)));
    QCOMPARE(answers.asked().size(), answer >= 0 ? 1 : 0);
    QCOMPARE(book.cell("写评语", "AM41"), stored);
    QCOMPARE(lineBox(form, "TextBox12")->text(), number);
    QVERIFY(recorder.texts().isEmpty());
    if (number == "40") {
        QCOMPARE(textBox(form, "TextBox13")->toPlainText(), "四十号还没存的评语。");
        return;
    }
    QCOMPARE(textBox(form, "TextBox13")->toPlainText(), own(12) + kListen);
    QCOMPARE(lineBox(form, "TextBox14")->text(), "学生12");
    QCOMPARE(listed(window)[40], stored.isEmpty() ? "未写|" : "10|");
    // 12's own comment is no reuse, what 5 and 3, 7, 20 wrote is.
    QCOMPARE(label(form, "CommentReuse"), "“上课认真听讲……”已用于 5 号的评语");
    textBox(form, "TextBox13")->appendPlainText(kHomework);
    QCOMPARE(label(form, "CommentReuse"),
             "“上课认真听讲……”已用于 5 号的评语\n“按时完成作业……”已用于 3、7、20 号的评语");
}

// Own entries are found with the built-in sentences, one sentence an item,
// and a stored entry is found at once.
void TestWritingAids::searchCoversBothLibraries() {
    TestWorkbook book;
    book.put("Sheet1", "BN2", "周末去敬老院当义工。热心公益。");
    CommentWriterForm form;
    auto* results = control<QListWidget>(form, "SearchResults");
    auto items = [&] {
        QStringList texts;
        for (int i = 0; i < results->count(); ++i) texts << results->item(i)->text();
        return texts;
    };
    lineBox(form, "LibrarySearch")->setText("敬老院  义工");
    QCOMPARE(items(), QStringList{"周末去敬老院当义工。"});
    lineBox(form, "LibrarySearch")->setText("作业 工整");
    QVERIFY(items().contains(kHomework));
    for (const QString& item : items())
        QVERIFY(item.contains("作业") && item.contains("工整") && !item.contains(u'\n'));
    lineBox(form, "LibrarySearch")->setText("  ");
    QCOMPARE(results->count(), 0);

    const QString stored = "常去敬老院看望老人。";
    lineBox(form, "LibrarySearch")->setText("敬老院");
    QVERIFY(!items().contains(stored));
    lineBox(form, "TextBox22")->setText("3");
    control<QComboBox>(form, "ComboBox1")->setEditText("良");
    textBox(form, "TextBox21")->setPlainText(stored);
    click(form, "CommandButton8");
    QCOMPARE(items().mid(0, 2), (QStringList{"周末去敬老院当义工。", stored}));
}

QTEST_MAIN(TestWritingAids)
#include "test_writingaids.moc"
