// The comment writer's operations over a class workbook: which cells each
// button reads and writes, what it says, and what the boxes show afterwards.
#include "comments/commentwriterform.h"
#include "comments/librarytexts.h"
#include "common/fonts.h"
#include "common/messages.h"
#include "common/numberbox.h"
#include "common/savequestion.h"
#include "common/singlewindow.h"
#include "formaccess.h"
#include "testworkbook.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

using namespace velmora;
using namespace velmora::test;
using velmora::comments::CommentWriterForm;

namespace {
const QString kNoNumber = QStringLiteral("请先在学生序号中填写号码");
const QString kNotWritten = QStringLiteral("该生评语没书写!不能保存!");
const QString kNotWrittenYet = QStringLiteral("该生评语还没书写!");
const QString kNothingThere = QStringLiteral("无内容可查!");
const QString kChooseType = QStringLiteral("请先在类型中选择评语类型！！");
const QString kLoadFirst = QStringLiteral("请先调入评语");
const QString kStored = QStringLiteral("已有的评语");
const QString kUnseenEntry =
    QStringLiteral("评语库第%1条已有内容，请先点“调我的评语库”查看，再修改保存。");

// "a; b" -> {"a", "b"}; "" -> {}
QStringList list(const QString& items) {
    return items.isEmpty() ? QStringList() : items.split(QStringLiteral("; "));
}

void row(const char* name, std::initializer_list<QString> values) {
    QTestData& data = QTest::newRow(name);
    for (const QString& v : values) data << v;
}

// Students 4 to 6 have a comment and an identity; 7 onwards are empty rows.
void seedStudents(TestWorkbook& book) {
    for (int n : {4, 5, 6}) {
        const QString row = QString::number(n + 1);
        book.put("写评语", "AM" + row, n == 5 ? kStored : QString("%1号评语").arg(n));
        book.put("写评语", "B" + row, QString("第%1名").arg(n));
        book.put("学生档案", "B" + row, QString("2003010%1").arg(n));
    }
}

// The reads of Show the student and then of the step's own loads for a student.
QString stepReads(int n) {
    const QString row = QString::number(n + 1);
    return QString(
               "read 写评语!B%1; read 学生档案!B%1; read 写评语!AM%1; read 写评语!B%1; "
               "read 学生档案!B%1")
        .arg(row);
}

// The requests of an operation up to its save: after a store the window reads
// the class or the own library again, and only reads.
QStringList requestsUntilSave(TestWorkbook& book) {
    const QStringList& log = book.requests().log;
    const qsizetype saved = log.indexOf("save");
    if (saved < 0)
        return log;
    for (const QString& request : log.mid(saved + 1))
        if (!request.startsWith("read "))
            qFatal("%s after the save", qPrintable(request));
    return log.mid(0, saved + 1);
}

QString textOf(QWidget* w) {
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        return line->text();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(w))
        return edit->toPlainText();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    return w->windowTitle();
}
}  // namespace

class TestCommentWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensWithDesignTimeTexts_data();
    void opensWithDesignTimeTexts();
    void opensOnItsPagesWithTheBuiltInLibrary();
    void showTheStudent_data();
    void showTheStudent();
    void wholeRollNumberShows();
    void typingDigitByDigit();
    void templateNamesTheStudent();
    void studentOperations_data();
    void studentOperations();
    void entryOperations_data();
    void entryOperations();
    void storeEntryRightAfterOpening();
    void textMovesBetweenCommentAndEditor();
    void help();
    void hostFailureIsShownAndWindowStaysUsable_data();
    void hostFailureIsShownAndWindowStaysUsable();
    void closingAsksAboutTypedText_data();
    void closingAsksAboutTypedText();
    void closingDiscardsEverything();
};

void TestCommentWriter::opensWithDesignTimeTexts_data() {
    QTest::addColumn<QString>("texts");  // name=text; ...
    QTest::newRow("top") << "UserForm7=写评语; Label2=写评语; Label3=请输入该学生的序号:; "
                            "TextBox12=; TextBox20=; TextBox14=; TextBox13=; TextBox24=1";
    QTest::newRow("buttons")
        << "CommandButton6=调该生已有评语修改; CommandButton4=好!保存到EXCEL表中; "
           "CommandButton2=关闭此窗口; CommandButton5=≤\u3000\u3000; "
           "CommandButton7=≥; Label9= ?";
    QTest::newRow("instructions") << "Label1=先按住左键拖动选择要写的评语内容.再松开左键.选择的内容"
                                     "即可到上面的写评语框中.并可在写评语框进行修改,输入内容.当该生"
                                     "评语内容全部写好后,点按钮[好!保存到EXCEL表中].";
    QTest::newRow("own library")
        << "TextBox21=\n\n; Label8=评语库序号; TextBox22=1; ComboBox1=类型; "
           "CommandButton10=≤\u3000\u3000; CommandButton11=≥; "
           "CommandButton12=将写的评语移来; CommandButton13=评语写上去; "
           "CommandButton8=好!保存; CommandButton9=调我的评语库";
}

void TestCommentWriter::opensWithDesignTimeTexts() {
    QFETCH(QString, texts);
    CommentWriterForm form;
    for (const QString& item : list(texts)) {
        const QString name = item.section(u'=', 0, 0);
        QWidget* w = name == form.objectName() ? &form : control<QWidget>(form, name);
        QCOMPARE(textOf(w), item.section(u'=', 1));
    }
}

void TestCommentWriter::opensOnItsPagesWithTheBuiltInLibrary() {
    CommentWriterForm form;
    auto* topics = control<QTabWidget>(form, "MultiPage1");
    auto* grades = control<QTabWidget>(form, "MultiPage3");
    QCOMPARE(topics->tabText(topics->currentIndex()), "希望");
    QCOMPARE(grades->tabText(grades->currentIndex()), "建自己的评语库");
    QCOMPARE(grades->tabToolTip(0),
             "友情提醒:请在评语库中选取内容时不要单击!!否则上面写评语中将会重"
             "复粘贴上一次内容.应按下左键选取文字后,再松开左键.");
    QCOMPARE(grades->tabToolTip(1), "中等生的评语！");
    QCOMPARE(grades->tabToolTip(2), "后进生的评语！");
    QVERIFY(grades->tabToolTip(3).isEmpty());
    QVERIFY(lineBox(form, "TextBox24")->isHidden());
    auto* grade = control<QComboBox>(form, "ComboBox1");
    QCOMPARE(grade->count(), 3);
    QCOMPARE(grade->itemText(0) + grade->itemText(1) + grade->itemText(2), "优良差");
    for (const QString& name : comments::libraryBoxNames()) {
        QPlainTextEdit* box = textBox(form, name);
        QVERIFY2(!box->toPlainText().isEmpty(), qPrintable(name));
        QCOMPARE(box->toPlainText(), comments::libraryText(name));
        QCOMPARE(box->textCursor().position(), 0);
    }
}

void TestCommentWriter::showTheStudent_data() {
    for (const char* c : {"typed", "log", "identity"})  // log empty: nothing changes
        QTest::addColumn<QString>(c);
    row("5", {"5", "read 写评语!B6; read 学生档案!B6", "第5名|学号:20030105"});
    row("blanks around", {" 12 ", "read 写评语!B13; read 学生档案!B13", "|学号:"});
    row("full-width", {"４", "read 写评语!B5; read 学生档案!B5", "第4名|学号:20030104"});
    row("last row", {"65535", "read 写评语!B65536; read 学生档案!B65536", "|学号:"});
    for (const char* bad : {"", " ", "ab", "0", "-", "-3", "2.5", "65536"})
        row(bad, {bad, "", "第6名|学号:20030106"});
}

void TestCommentWriter::showTheStudent() {
    QFETCH(QString, typed);
    QFETCH(QString, log);
    QFETCH(QString, identity);
    TestWorkbook book;
    MessageRecorder recorder;
    seedStudents(book);
    CommentWriterForm form;
    lineBox(form, "TextBox12")->setText("6");
    textBox(form, "TextBox13")->setPlainText("未保存的评语");
    book.requests().log.clear();

    lineBox(form, "TextBox12")->setText(typed);
    QCOMPARE(book.requests().log, list(log));
    QVERIFY(recorder.texts().isEmpty());
    QCOMPARE(textBox(form, "TextBox13")->toPlainText(), log.isEmpty() ? "未保存的评语" : "");
    QCOMPARE(lineBox(form, "TextBox14")->text() + "|" + lineBox(form, "TextBox20")->text(),
             identity);
}

// The roll number line holds "学号:" and a whole roll number of ten digits
// (within its border and the line edit's margins of 2 pixels a side).
void TestCommentWriter::wholeRollNumberShows() {
    installFontSubstitutions();  // the program's 宋体
    TestWorkbook book;
    book.put("学生档案", "B6", "2003010512");
    CommentWriterForm form;
    form.show();
    lineBox(form, "TextBox12")->setText("5");
    QLineEdit* roll = lineBox(form, "TextBox20");
    QCOMPARE(roll->text(), "学号:2003010512");
    QVERIFY(roll->fontMetrics().horizontalAdvance(roll->text()) + 2 * (1 + 2) <= roll->width());
    QVERIFY(roll->geometry().right() < lineBox(form, "TextBox14")->geometry().left());
}

// The shipped workbook fills 写评语!B from the student archive: the name
// stored there shows beside the number.
void TestCommentWriter::templateNamesTheStudent() {
    TestWorkbook book;
    book.put("学生档案", "A3", "2");
    book.put("学生档案", "B3", "20230102");
    book.put("学生档案", "C3", "李四");
    CommentWriterForm form;
    lineBox(form, "TextBox12")->setText("2");
    QCOMPARE(lineBox(form, "TextBox14")->text() + "|" + lineBox(form, "TextBox20")->text(),
             QStringLiteral("李四|学号:20230102"));
}

void TestCommentWriter::typingDigitByDigit() {
    TestWorkbook book;
    CommentWriterForm form;
    book.requests().log.clear();
    QPlainTextEdit* comment = textBox(form, "TextBox13");
    comment->setPlainText("甲");
    QTest::keyClick(lineBox(form, "TextBox12"), Qt::Key_1);
    QCOMPARE(comment->toPlainText(), "");
    comment->setPlainText("乙");
    QTest::keyClick(lineBox(form, "TextBox12"), Qt::Key_2);
    QCOMPARE(comment->toPlainText(), "");
    QCOMPARE(book.requests().log,
             list("read 写评语!B2; read 学生档案!B2; read 写评语!B13; read 学生档案!B13"));
}

void TestCommentWriter::studentOperations_data() {
    for (const char* c : {"button", "number", "comment", "log", "messages", "numberAfter",
                          "commentAfter", "identity"})
        QTest::addColumn<QString>(c);
    const QString load = "CommandButton6", store = "CommandButton4";
    const QString previous = "CommandButton5", next = "CommandButton7";
    const QString fifth = "第5名|学号:20030105", saved5 = "writeRaw 写评语!AM6=%1; save";
    const QString bad = kBadNumberMessage;

    row("store 5",
        {store, "5", "认真负责。", saved5.arg("认真负责。"), "", "5", "认真负责。", fifth});
    row("store lines",
        {store, "5", "一行\n二行", saved5.arg("一行\n二行"), "", "5", "一行\n二行", fifth});
    row("store a space", {store, "5", " ", saved5.arg(" "), "", "5", " ", fifth});
    row("store nothing", {store, "5", "", "", kNotWritten, "5", "", fifth});
    row("store without number", {store, "", "好", "", kNoNumber, "", "好", "|"});
    row("store heading row", {store, "0", "好", "", bad, "0", "好", "|"});
    row("load 5", {load, "5", "", "read 写评语!AM6", "", "5", kStored, fifth});
    row("load empty comment",
        {load, "8", "旧", "read 写评语!AM9", kNotWrittenYet, "8", "", "|学号:"});
    row("load without number", {load, "", "旧", "", kNoNumber, "", " ", "|"});
    row("load fraction", {load, "1.5", "旧", "", bad, "1.5", "旧", "|"});
    row("previous from 5",
        {previous, "5", "旧", stepReads(4), "", "4", "4号评语", "第4名|学号:20030104"});
    row("previous to empty",
        {previous, "9", "旧", stepReads(8), kNotWrittenYet, "8", "", "|学号:"});
    row("previous at 1, comment", {previous, "1", "有", "", kNothingThere, "1", "有", "|学号:"});
    row("previous at 1, none",
        {previous, "1", "", "", kNothingThere + "; " + kNotWrittenYet, "1", "", "|学号:"});
    row("previous from 0",
        {previous, "0", "", "", kNothingThere + "; " + kNotWrittenYet, "0", "", "|"});
    row("previous without number", {previous, "", "旧", "", kNoNumber, "", " ", "|"});
    row("previous letters", {previous, "x", "旧", "", bad, "x", "旧", "|"});
    row("next from 5", {next, "5", "旧", stepReads(6), "", "6", "6号评语", "第6名|学号:20030106"});
    row("next full-width",
        {next, "５", "旧", stepReads(6), "", "6", "6号评语", "第6名|学号:20030106"});
    row("next past the last", {next, "6", "旧", stepReads(7), kNotWrittenYet, "7", "", "|学号:"});
    row("next without number", {next, "", "旧", "", kNoNumber, "", " ", "|"});
    row("next letters", {next, "abc", "旧", "", bad, "abc", "旧", "|"});
    row("next at last row", {next, "65535", "旧", "", kNothingThere, "65535", "旧", "|学号:"});
}

void TestCommentWriter::studentOperations() {
    QFETCH(QString, button);
    QFETCH(QString, number);
    QFETCH(QString, comment);
    QFETCH(QString, log);
    QFETCH(QString, messages);
    QFETCH(QString, numberAfter);
    QFETCH(QString, commentAfter);
    QFETCH(QString, identity);
    TestWorkbook book;
    seedStudents(book);
    CommentWriterForm form;
    form.show();
    lineBox(form, "TextBox12")->setText(number);
    textBox(form, "TextBox13")->setPlainText(comment);
    book.requests().log.clear();
    MessageRecorder recorder;

    click(form, button);
    QCOMPARE(requestsUntilSave(book), list(log));
    QCOMPARE(recorder.texts(), list(messages));
    for (const auto& m : recorder.messages()) QCOMPARE(m.title, kFormTitle);
    QCOMPARE(lineBox(form, "TextBox12")->text(), numberAfter);
    QCOMPARE(textBox(form, "TextBox13")->toPlainText(), commentAfter);
    QCOMPARE(lineBox(form, "TextBox14")->text() + "|" + lineBox(form, "TextBox20")->text(),
             identity);
    QCOMPARE(book.cell("写评语", "AM6"), log.endsWith("save") ? commentAfter : kStored);
}

void TestCommentWriter::entryOperations_data() {
    for (const char* c :
         {"button", "grade", "entry", "editor", "log", "messages", "entryAfter", "editorAfter"})
        QTest::addColumn<QString>(c);
    const QString load = "CommandButton9", store = "CommandButton8";
    const QString previous = "CommandButton10", next = "CommandButton11";
    const QString bad = kBadNumberMessage;
    const QString unseen = kUnseenEntry;

    row("load 优 1", {load, "优", "1", "旧", "read Sheet1!BN2", "", "1", "优一"});
    row("load 良 2", {load, "良", "2", "旧", "read Sheet1!BP3", "", "2", "良二"});
    row("load 差 3", {load, "差", "3", "旧", "read Sheet1!BR4", "", "3", "差三"});
    row("load empty entry", {load, "优", "4", "旧", "read Sheet1!BN5", "", "4", ""});
    row("load 类型", {load, "类型", "1", "旧", "", kChooseType, "1", "旧"});
    row("load typed type", {load, "优秀", "1", "旧", "", "", "1", "旧"});
    row("load heading row", {load, "优", "0", "旧", "", bad, "0", "旧"});
    row("load empty number", {load, "优", "", "旧", "", bad, "", "旧"});
    // An entry the editor was not loaded from is written only while empty.
    row("store 优 4", {store, "优", "4", "话", "read Sheet1!BN5; writeRaw Sheet1!BN5=话; save", "",
                      "4", "话"});
    row("store 良 2, not loaded", {store, "良", "2", "话", "read Sheet1!BP3", unseen.arg(2), "2",
                                  "话"});
    row("store 差 3, not loaded", {store, "差", "3", "话", "read Sheet1!BR4", unseen.arg(3), "3",
                                  "话"});
    row("store 类型", {store, "类型", "1", "话", "save", kChooseType, "1", "话"});
    row("store typed type", {store, "良好", "1", "话", "save", "", "1", "话"});
    row("store empty editor", {store, "优", "1", "", "", kLoadFirst, "1", ""});
    row("store heading row", {store, "优", "0", "话", "", bad, "0", "话"});
    row("next 优 from 1", {next, "优", "1", "旧", "read Sheet1!BN3", "", "2", ""});
    row("next 类型", {next, "类型", "1", "旧", "", kChooseType, "2", "旧"});
    row("next at last row", {next, "优", "65535", "旧", "", kNothingThere, "65535", "旧"});
    row("next letters", {next, "优", "a", "旧", "", bad, "a", "旧"});
    row("previous 良 from 3", {previous, "良", "3", "旧", "read Sheet1!BP3", "", "2", "良二"});
    row("previous 类型 from 3", {previous, "类型", "3", "旧", "", kChooseType, "2", "旧"});
    row("previous at 1", {previous, "优", "1", "旧", "", kNothingThere, "1", "旧"});
    row("previous from 0", {previous, "优", "0", "旧", "", kNothingThere, "0", "旧"});
    row("previous letters", {previous, "优", "一", "旧", "", bad, "一", "旧"});
}

void TestCommentWriter::entryOperations() {
    QFETCH(QString, button);
    QFETCH(QString, grade);
    QFETCH(QString, entry);
    QFETCH(QString, editor);
    QFETCH(QString, log);
    QFETCH(QString, messages);
    QFETCH(QString, entryAfter);
    QFETCH(QString, editorAfter);
    TestWorkbook book;
    const QStringList cells = {"BN2", "BP3", "BR4"}, texts = {"优一", "良二", "差三"};
    for (int i = 0; i < 3; ++i) book.put("Sheet1", cells[i], texts[i]);
    CommentWriterForm form;
    form.show();
    control<QComboBox>(form, "ComboBox1")->setEditText(grade);
    lineBox(form, "TextBox22")->setText(entry);
    textBox(form, "TextBox21")->setPlainText(editor);
    MessageRecorder recorder;
    book.requests().log.clear();

    click(form, button);
    QCOMPARE(requestsUntilSave(book), list(log));
    QCOMPARE(recorder.texts(), list(messages));
    QCOMPARE(lineBox(form, "TextBox22")->text(), entryAfter);
    QCOMPARE(textBox(form, "TextBox21")->toPlainText(), editorAfter);
    for (int i = 0; i < 3; ++i) {
        const bool written = log.contains("writeRaw Sheet1!" + cells[i]);
        QCOMPARE(book.cell("Sheet1", cells[i]), written ? editor : texts[i]);
    }
}

void TestCommentWriter::storeEntryRightAfterOpening() {
    TestWorkbook book;
    CommentWriterForm form;
    form.show();
    control<QComboBox>(form, "ComboBox1")->setCurrentIndex(0);  // 优, from the list
    book.requests().log.clear();
    click(form, "CommandButton8");
    QCOMPARE(requestsUntilSave(book), list("read Sheet1!BN2; writeRaw Sheet1!BN2=\n\n; save"));
    QCOMPARE(book.cell("Sheet1", "BN2"), "\n\n");
}

void TestCommentWriter::textMovesBetweenCommentAndEditor() {
    TestWorkbook book;
    CommentWriterForm form;
    QPlainTextEdit* comment = textBox(form, "TextBox13");
    QPlainTextEdit* editor = textBox(form, "TextBox21");
    book.requests().log.clear();
    comment->setPlainText("评语\n第二行\u00a0");
    click(form, "CommandButton12");
    QCOMPARE(editor->document()->toRawText(), "评语\u2029第二行\u00a0");  // no-break space kept
    editor->setPlainText("库里的话");
    click(form, "CommandButton13");
    QCOMPARE(comment->toPlainText(), "库里的话");
    QVERIFY(book.requests().log.isEmpty());
}

void TestCommentWriter::help() {
    MessageRecorder recorder;
    CommentWriterForm form;
    form.show();
    QTest::mouseClick(control<QLabel>(form, "Label9"), Qt::LeftButton);
    QCOMPARE(recorder.messages().size(), 1);
    QCOMPARE(recorder.messages().at(0).title, "Velmoravm2.1 -----帮助");
    QCOMPARE(recorder.messages().at(0).text,
             "1、先按住左键拖动选择要写的评语内容.再松开左键.\n\n"
             " 选择的内容即可到上面的写评语框中.\n\n"
             " 并可在写评语框进行修改,输入内容.\n\n"
             " 当该生评语内容全部写好后,点按钮[好!写到EXCEL].   \n\n"
             " 2、友情提醒:请在评语库中选取内容时不要单击!!\n\n"
             " 否则上面写评语中将会重复粘贴上一次内容.应按下左键选取文字后,再松开左键.");
}

void TestCommentWriter::hostFailureIsShownAndWindowStaysUsable_data() {
    QTest::addColumn<QString>("button");
    for (const char* b : {"CommandButton6", "CommandButton4", "CommandButton5", "CommandButton7",
                          "CommandButton9", "CommandButton8", "CommandButton10", "CommandButton11"})
        QTest::newRow(b) << b;
}

void TestCommentWriter::hostFailureIsShownAndWindowStaysUsable() {
    QFETCH(QString, button);
    TestWorkbook book;
    CommentWriterForm form;
    form.show();
    lineBox(form, "TextBox12")->setText("5");
    lineBox(form, "TextBox22")->setText("2");
    control<QComboBox>(form, "ComboBox1")->setEditText("优");
    textBox(form, "TextBox13")->setPlainText("评语");
    MessageRecorder recorder;
    book.requests().log.clear();
    book.requests().failing = true;
    click(form, button);
    QCOMPARE(recorder.texts(), QStringList{"电子表格程序没有响应。"});
    QCOMPARE(book.requests().log.size(), 1);  // stopped at the first refused request

    book.requests().failing = false;
    recorder.clear();
    lineBox(form, "TextBox12")->setText("8");
    textBox(form, "TextBox13")->setPlainText("再来一次");
    click(form, "CommandButton4");
    QVERIFY(recorder.texts().isEmpty());
    QCOMPARE(book.cell("写评语", "AM9"), "再来一次");
}

void TestCommentWriter::closingAsksAboutTypedText_data() {
    for (const char* c : {"comment", "entry", "messages", "comment5", "entry1"})
        QTest::addColumn<QString>(c);  // typed text ("": none), messages, AM6, BN2 afterwards
    QTest::addColumn<bool>("closes");
    QTest::newRow("comment") << "补" << "" << "" << "补" + kStored << "优一" << true;
    QTest::newRow("entry loaded") << "" << "新" << "" << kStored << "新优一" << true;
    QTest::newRow("entry not loaded: refused")
        << "补" << "新!" << kUnseenEntry.arg(1) << "补" + kStored << "优一" << false;
}

// Closing with typed text asks; 存入 stores the comment and the library
// entry where each was typed, and a refused store keeps the window open.
// ("新!" types into the editor without loading entry 1 first.)
void TestCommentWriter::closingAsksAboutTypedText() {
    QFETCH(QString, comment);
    QFETCH(QString, entry);
    QFETCH(QString, messages);
    QFETCH(QString, comment5);
    QFETCH(QString, entry1);
    QFETCH(bool, closes);
    TestWorkbook book;
    seedStudents(book);
    book.put("Sheet1", "BN2", "优一");
    MessageRecorder recorder;
    QuestionAnswerer answers(SaveAnswer::Save);
    CommentWriterForm form;
    form.show();
    lineBox(form, "TextBox12")->setText("5");
    click(form, "CommandButton6");
    control<QComboBox>(form, "ComboBox1")->setEditText("优");
    if (entry != "新!")
        click(form, "CommandButton9");
    for (const auto& [box, text] : {std::pair{"TextBox13", comment}, std::pair{"TextBox21", entry.left(1)}}) {
        textBox(form, box)->moveCursor(QTextCursor::Start);
        textBox(form, box)->insertPlainText(text);
    }
    click(form, "CommandButton2");
    QCOMPARE(answers.asked().size(), 1);
    QCOMPARE(recorder.texts(), list(messages));
    QCOMPARE(form.isVisible(), !closes);
    QCOMPARE(book.cell("写评语", "AM6"), comment5);
    QCOMPARE(book.cell("Sheet1", "BN2"), entry1);
}

void TestCommentWriter::closingDiscardsEverything() {
    TestWorkbook book;
    QuestionAnswerer answers(SaveAnswer::Discard);
    auto* form = showSingle<CommentWriterForm>();
    lineBox(*form, "TextBox12")->setText("3");
    textBox(*form, "TextBox13")->setPlainText("没保存");
    textBox(*form, "TextBox6")->setPlainText("改过的库");
    lineBox(*form, "TextBox24")->setText("40");
    const QPointer<CommentWriterForm> closing = form;
    book.requests().log.clear();
    click(*form, "CommandButton2");
    QCOMPARE(answers.asked().size(), 1);  // 不存入
    QTRY_VERIFY(closing.isNull());
    QVERIFY(book.requests().log.isEmpty());

    form = showSingle<CommentWriterForm>();
    QCOMPARE(lineBox(*form, "TextBox12")->text(), "");
    QCOMPARE(textBox(*form, "TextBox13")->toPlainText(), "");
    QCOMPARE(textBox(*form, "TextBox6")->toPlainText(), comments::libraryText("TextBox6"));
    QCOMPARE(lineBox(*form, "TextBox24")->text(), "1");
    form->close();
}

QTEST_MAIN(TestCommentWriter)
#include "test_commentwriter.moc"
