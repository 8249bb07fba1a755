// The class settings window: it opens with the cells of "设置" as they stand
// (the defaults while none is set), and each box the teacher changed reaches
// its own cell as an ordinary value; "以后设置" and the close box write
// nothing.
#include "common/messages.h"
#include "settings/classsettingsform.h"
#include "testworkbook.h"
#include "xlrdreading.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace velmora;
using namespace velmora::layout;
using velmora::settings::ClassSettingsForm;
using velmora::test::TestWorkbook;

namespace {
struct Binding {
    const char* box;
    const char* cell;
    const char* defaultText;
};

// The thirty boxes in the order "确定" writes them.
const Binding kBindings[] = {
    {"TextBox1", "C4", "某某县第一中学"}, {"TextBox18", "C5", "2003-2004学年度第一学期"},
    {"TextBox3", "C6", "初三（6）"},      {"TextBox19", "C7", ""},
    {"TextBox7", "B11", "政治"},          {"TextBox8", "B12", "100"},
    {"TextBox5", "C11", "语文"},          {"TextBox6", "C12", "100"},
    {"TextBox9", "D11", "数学"},          {"TextBox10", "D12", "100"},
    {"TextBox13", "E11", "外语"},         {"TextBox14", "E12", "100"},
    {"TextBox11", "F11", "物理"},         {"TextBox17", "F12", "100"},
    {"TextBox15", "G11", "化学"},         {"TextBox16", "G12", "100"},
    {"TextBox20", "H11", "历史"},         {"TextBox21", "H12", ""},
    {"TextBox22", "I11", "地理"},         {"TextBox23", "I12", ""},
    {"TextBox24", "J11", "生物"},         {"TextBox25", "J12", ""},
    {"TextBox32", "K11", "音乐"},         {"TextBox33", "K12", ""},
    {"TextBox26", "L11", "体育"},         {"TextBox27", "L12", ""},
    {"TextBox28", "M11", "美术"},         {"TextBox29", "M12", ""},
    {"TextBox30", "N11", "电脑"},         {"TextBox31", "N12", ""},
};

QString cellOf(const Binding& b) {
    return QString::fromLatin1(b.cell);
}

QLineEdit* box(ClassSettingsForm& f, const char* name) {
    return f.findChild<QLineEdit*>(QLatin1String(name));
}

// Every bound cell holds an earlier setting.
void seedEarlierSettings(TestWorkbook& wb) {
    for (const Binding& b : kBindings)
        wb.put(kSettingsSheet, cellOf(b), QStringLiteral("旧") + cellOf(b));
}
}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void okWritesTheDefaults();
    void eachBoxReachesItsCell_data();
    void eachBoxReachesItsCell();
    void closingWritesNothing_data();
    void closingWritesNothing();
    void unreadableSettingsCloseTheWindow();
    void hostFailureKeepsTheWindowOpen();
};

// A sheet with none of the thirty cells set: the window shows its defaults,
// and 确定 writes them.
void TestSettings::okWritesTheDefaults() {
    TestWorkbook wb;
    MessageRecorder recorder;
    ClassSettingsForm f;
    f.show();
    QCOMPARE(f.objectName(), QStringLiteral("UserForm2"));
    QCOMPARE(f.windowTitle(), QStringLiteral("设置"));
    QCOMPARE(wb.requests().count(QStringLiteral("read")), 30);
    wb.requests().log.clear();

    f.findChild<QPushButton*>("CommandButton1")->click();

    QStringList writes;
    for (const Binding& b : kBindings)
        if (*b.defaultText)
            writes << QStringLiteral("write 设置!%1=%2").arg(cellOf(b),
                                                            QString::fromUtf8(b.defaultText));
    QCOMPARE(wb.requests().log, writes);
    QCOMPARE(recorder.texts(), QStringList{QStringLiteral("设置成功。")});
    QCOMPARE(recorder.messages().constFirst().title, QStringLiteral("《Velmora》vm2.1"));
    QVERIFY(!f.isVisible());

    StudentWorkbook::save();
    for (const Binding& b : kBindings)
        QCOMPARE(wb.cell(kSettingsSheet, cellOf(b)), QString::fromUtf8(b.defaultText));

    // The saved file as an independent reader sees it: typed as a person
    // would type them, the full scores are numbers, the names texts, and an
    // empty default leaves no cell.
    const auto file = test::readWithXlrd(wb.path());
    if (!file)
        QSKIP("python3-xlrd is not installed");
    for (const Binding& b : kBindings) {
        const QString text = QString::fromUtf8(b.defaultText);
        const QJsonArray saved = test::xlrdCell(*file, kSettingsSheet, cellOf(b));
        if (text.isEmpty())
            QVERIFY2(saved.isEmpty(), b.cell);
        else if (text == QStringLiteral("100"))
            QCOMPARE(saved, (QJsonArray{QStringLiteral("number"), 100.0}));
        else
            QCOMPARE(saved, (QJsonArray{QStringLiteral("text"), text}));
    }
}

void TestSettings::eachBoxReachesItsCell_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kBindings)); ++i)
        QTest::addRow("%s -> %s", kBindings[i].box, kBindings[i].cell) << i;
}

// Settings made earlier open as they stand (an empty cell as an empty box),
// and 确定 writes the one box the teacher changed, nothing else.
void TestSettings::eachBoxReachesItsCell() {
    QFETCH(int, index);
    const Binding& b = kBindings[index];
    TestWorkbook wb;
    seedEarlierSettings(wb);
    wb.put(kSettingsSheet, QStringLiteral("N12"), QString());
    MessageRecorder recorder;
    {
        ClassSettingsForm f;
        for (const Binding& other : kBindings)
            QCOMPARE(box(f, other.box)->text(), wb.cell(kSettingsSheet, cellOf(other)));
        wb.requests().log.clear();
        box(f, b.box)->setText(QStringLiteral("新") + cellOf(b));
        f.findChild<QPushButton*>("CommandButton1")->click();
    }
    QCOMPARE(wb.requests().log,
             QStringList{QStringLiteral("write 设置!%1=新%1").arg(cellOf(b))});
    for (const Binding& other : kBindings) {
        const QString before = qstrcmp(other.cell, "N12") == 0
                                   ? QString()
                                   : QStringLiteral("旧") + cellOf(other);
        QCOMPARE(wb.cell(kSettingsSheet, cellOf(other)),
                 &other == &b ? QStringLiteral("新") + cellOf(b) : before);
    }
    ClassSettingsForm reopened;
    QCOMPARE(box(reopened, b.box)->text(), QStringLiteral("新") + cellOf(b));
}

void TestSettings::closingWritesNothing_data() {
    QTest::addColumn<bool>("laterButton");
    QTest::newRow("以后设置") << true;
    QTest::newRow("close box") << false;
}

void TestSettings::closingWritesNothing() {
    QFETCH(bool, laterButton);
    TestWorkbook wb;
    seedEarlierSettings(wb);
    MessageRecorder recorder;
    ClassSettingsForm f;
    f.show();
    box(f, "TextBox1")->setText(QStringLiteral("不该写入"));
    if (laterButton)
        f.findChild<QPushButton*>("CommandButton2")->click();
    else
        f.close();
    QVERIFY(!f.isVisible());
    QCOMPARE(wb.requests().count(QStringLiteral("write")), 0);
    QVERIFY(recorder.messages().isEmpty());
    QCOMPARE(wb.cell(kSettingsSheet, QStringLiteral("C4")), QStringLiteral("旧C4"));
}

// Settings that cannot be read are not shown as defaults that 确定 would
// write over them: the window says why and closes.
void TestSettings::unreadableSettingsCloseTheWindow() {
    TestWorkbook wb;
    seedEarlierSettings(wb);
    MessageRecorder recorder;
    wb.requests().failing = true;
    auto* f = new ClassSettingsForm;
    f->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<ClassSettingsForm> window = f;
    f->show();
    QCOMPARE(recorder.messages().size(), 1);
    QTRY_VERIFY(window.isNull());
    QCOMPARE(wb.requests().count(QStringLiteral("write")), 0);
    QCOMPARE(wb.cell(kSettingsSheet, QStringLiteral("C4")), QStringLiteral("旧C4"));
}

void TestSettings::hostFailureKeepsTheWindowOpen() {
    TestWorkbook wb;
    MessageRecorder recorder;
    ClassSettingsForm f;
    f.show();
    box(f, "TextBox19")->setText(QStringLiteral("李老师"));
    wb.requests().failing = true;
    f.findChild<QPushButton*>("CommandButton1")->click();
    QCOMPARE(recorder.messages().size(), 1);
    QVERIFY(recorder.messages().constFirst().text != QStringLiteral("设置成功。"));
    QVERIFY(f.isVisible());
    QCOMPARE(box(f, "TextBox19")->text(), QStringLiteral("李老师"));

    wb.requests().failing = false;
    f.findChild<QPushButton*>("CommandButton1")->click();
    QCOMPARE(recorder.messages().last().text, QStringLiteral("设置成功。"));
    QCOMPARE(wb.cell(kSettingsSheet, QStringLiteral("C7")), QStringLiteral("李老师"));
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
