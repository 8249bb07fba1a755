#include "commands.h"
#include "output.h"
#include "workbook/atomicfile.h"
#include "workbook/hosterror.h"
#include "workbook/xls/xlsworkbook.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using xls::XlsWorkbook;

namespace {

struct Run {
    int exitCode = -1;
    bool crashed = true;
    QString out, err;
};

Run tool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VELMORA_XLS_TOOL), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        return r;
    }
    r.crashed = p.exitStatus() != QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

// velmora-xls: what it prints, what it changes, and that every failure is a
// message on stderr with exit status 1.
class TestXlsTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void commandsPrintWhatTheWorkbookHolds_data();
    void commandsPrintWhatTheWorkbookHolds();
    void setStoresTextAndSaves_data();
    void setStoresTextAndSaves();
    void dumpIsOneJsonObjectPerCell();
    void jsonStringsAreUtf8_data();
    void jsonStringsAreUtf8();
    void putStoresAsTypedAndFormulasList();
    void failuresAreMessagesWithStatusOne_data();
    void failuresAreMessagesWithStatusOne();
    void closedPipeIsAnErrorNotASignal();
    void failedSaveLeavesTheFileAsItWas_data();
    void failedSaveLeavesTheFileAsItWas();

private:
    QTemporaryDir dir_;
    QString file_;
};

void TestXlsTool::init() {
    file_ = dir_.filePath(QStringLiteral("班级.xls"));
    XlsWorkbook wb = XlsWorkbook::create(
        {QStringLiteral("学生档案"), QStringLiteral("打印到班主任工作笔记上 ")});
    wb.setText(0, {0, 0}, QStringLiteral("序号"));
    wb.setText(0, {5, 38}, QStringLiteral("第一行\n第二行"));
    wb.setNumber(0, {1, 0}, 1);
    wb.setNumber(1, {2, 2}, 0.5);
    QFile f(file_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(wb.toBytes());
}

void TestXlsTool::commandsPrintWhatTheWorkbookHolds_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("out");
    QTest::newRow("sheets, trailing blank kept")
        << QStringList{QStringLiteral("sheets")}
        << QStringLiteral("学生档案\n打印到班主任工作笔记上 \n");
    QTest::newRow("get text") << QStringList{QStringLiteral("get"), QStringLiteral("学生档案"),
                                             QStringLiteral("A1")}
                              << QStringLiteral("序号\n");
    QTest::newRow("get, lower-case address")
        << QStringList{QStringLiteral("get"), QStringLiteral("学生档案"), QStringLiteral("am6")}
        << QStringLiteral("第一行\n第二行\n");
    QTest::newRow("get number") << QStringList{QStringLiteral("get"),
                                               QStringLiteral("打印到班主任工作笔记上 "),
                                               QStringLiteral("C3")}
                                << QStringLiteral("0.5\n");
    QTest::newRow("get empty cell")
        << QStringList{QStringLiteral("get"), QStringLiteral("学生档案"), QStringLiteral("IV65536")}
        << QStringLiteral("\n");
}

void TestXlsTool::commandsPrintWhatTheWorkbookHolds() {
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    args.insert(1, file_);
    const Run r = tool(args);
    QVERIFY(!r.crashed);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, out);
    QCOMPARE(r.err, QString());
}

void TestXlsTool::setStoresTextAndSaves_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("type");
    QTest::newRow("chinese") << QStringLiteral("张三") << QStringLiteral("text");
    QTest::newRow("looks like a number, stays text")
        << QStringLiteral("0012") << QStringLiteral("text");
    QTest::newRow("empty empties") << QString() << QString();
}

void TestXlsTool::setStoresTextAndSaves() {
    QFETCH(QString, text);
    QFETCH(QString, type);
    const Run set = tool(
        {QStringLiteral("set"), file_, QStringLiteral("学生档案"), QStringLiteral("A2"), text});
    QCOMPARE(set.exitCode, 0);
    QCOMPARE(set.out, QString());
    const XlsWorkbook wb = XlsWorkbook::load(file_);
    QCOMPARE(wb.cell(0, {1, 0}).toText(), text);
    QCOMPARE(wb.cell(0, {1, 0}).kind,
             text.isEmpty() ? CellValue::Kind::Empty : CellValue::Kind::Text);
    QCOMPARE(wb.cell(0, {0, 0}).text, QStringLiteral("序号"));
}

void TestXlsTool::dumpIsOneJsonObjectPerCell() {
    const Run r = tool({QStringLiteral("dump"), file_});
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    const QJsonObject comment = QJsonDocument::fromJson(lines[2].toUtf8()).object();
    QCOMPARE(comment[QStringLiteral("sheet")].toString(), QStringLiteral("学生档案"));
    QCOMPARE(comment[QStringLiteral("address")].toString(), QStringLiteral("AM6"));
    QCOMPARE(comment[QStringLiteral("type")].toString(), QStringLiteral("text"));
    QCOMPARE(comment[QStringLiteral("text")].toString(), QStringLiteral("第一行\n第二行"));
    const QJsonObject number = QJsonDocument::fromJson(lines[3].toUtf8()).object();
    QCOMPARE(number[QStringLiteral("sheet")].toString(), QStringLiteral("打印到班主任工作笔记上 "));
    QCOMPARE(number[QStringLiteral("type")].toString(), QStringLiteral("number"));
    QCOMPARE(tool({QStringLiteral("records"), file_})
                 .out.section(u'\n', 0, 0)
                 .contains(QStringLiteral("BOF")),
             true);
}

// Every width of UTF-8, JSON's escapes, and surrogates without a partner.
void TestXlsTool::jsonStringsAreUtf8_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("empty") << QString() << QByteArray("\"\"");
    QTest::newRow("escapes") << QStringLiteral("a\"b\\c\nd\re\tf\x01")
                             << QByteArray("\"a\\\"b\\\\c\\nd\\re\\tf\\u0001\"");
    QTest::newRow("2, 3 and 4 bytes") << QStringLiteral("é中\U0001F600")
                                      << QByteArray("\"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\"");
    QTest::newRow("lone surrogates") << QString(QChar(0xDC00)) + u'x' + QChar(0xD800)
                                     << QByteArray("\"\xEF\xBF\xBDx\xEF\xBF\xBD\"");
    QTest::newRow("long text") << QStringLiteral("汉").repeated(100000)
                               << "\"" + QByteArray("\xE6\xB1\x89").repeated(100000) + "\"";
}

void TestXlsTool::jsonStringsAreUtf8() {
    QFETCH(QString, text);
    QFETCH(QByteArray, json);
    QCOMPARE(QByteArray::fromStdString(xlstool::Output::json(text)), json);
}

// put: '=' a formula, a plain number a number, anything else text; each
// formula is then one JSON line of formulas with its results.
void TestXlsTool::putStoresAsTypedAndFormulasList() {
    const QString sheet = QStringLiteral("学生档案");
    const std::vector<std::pair<QString, QString>> inputs{{"B2", "98.5"},
                                                          {"B3", "=B2*2"},
                                                          {"B4", "=1+"},
                                                          {"C2", "'007"},
                                                          {"C3", "=IF(B2>60,\"及格\",\"\")"}};
    for (const auto& [address, input] : inputs) {
        const Run r = tool({QStringLiteral("put"), file_, sheet, address, input});
        QCOMPARE(r.exitCode, address == QLatin1String("B4") ? 1 : 0);
        if (r.exitCode)
            QVERIFY2(r.err.contains(QStringLiteral("第 4 个字符")), qPrintable(r.err));
    }
    QCOMPARE(tool({QStringLiteral("get"), file_, sheet, QStringLiteral("B3")}).out,
             QStringLiteral("197\n"));
    QCOMPARE(tool({QStringLiteral("get"), file_, sheet, QStringLiteral("C2")}).out,
             QStringLiteral("'007\n"));
    QCOMPARE(tool({QStringLiteral("formulas"), file_}).out,
             QStringLiteral("{\"sheet\":\"学生档案\",\"address\":\"B3\",\"formula\":\"B2*2\","
                            "\"cached\":\"197\",\"computed\":\"197\"}\n"
                            "{\"sheet\":\"学生档案\",\"address\":\"C3\",\"formula\":"
                            "\"IF(B2>60,\\\"及格\\\",\\\"\\\")\",\"cached\":\"及格\","
                            "\"computed\":\"及格\"}\n"));
}

void TestXlsTool::failuresAreMessagesWithStatusOne_data() {
    QTest::addColumn<QStringList>("args");
    const QString file = QStringLiteral("FILE");
    QTest::newRow("no arguments") << QStringList{};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("show"), file};
    QTest::newRow("missing argument")
        << QStringList{QStringLiteral("get"), file, QStringLiteral("学生档案")};
    QTest::newRow("missing file") << QStringList{QStringLiteral("sheets"),
                                                 QStringLiteral("/nonexistent/x.xls")};
    QTest::newRow("not a workbook")
        << QStringList{QStringLiteral("dump"), QStringLiteral(VELMORA_XLS_TOOL)};
    QTest::newRow("unknown sheet") << QStringList{
        QStringLiteral("get"), file, QStringLiteral("学生档案 "), QStringLiteral("A1")};
    QTest::newRow("row 0") << QStringList{QStringLiteral("get"), file, QStringLiteral("学生档案"),
                                          QStringLiteral("A0")};
    QTest::newRow("column past IV")
        << QStringList{QStringLiteral("set"), file, QStringLiteral("学生档案"),
                       QStringLiteral("IW1"), QStringLiteral("x")};
    QTest::newRow("formula that does not parse")
        << QStringList{QStringLiteral("put"), file, QStringLiteral("学生档案"),
                       QStringLiteral("B1"), QStringLiteral("=SUM(1,")};
    QTest::newRow("text too long")
        << QStringList{QStringLiteral("set"), file, QStringLiteral("学生档案"),
                       QStringLiteral("B1"), QString(32768, u'x')};
}

void TestXlsTool::failuresAreMessagesWithStatusOne() {
    QFETCH(QStringList, args);
    args.replaceInStrings(QStringLiteral("FILE"), file_);
    const QByteArray before = readFile(file_);
    const Run r = tool(args);
    QVERIFY(!r.crashed);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(!r.err.isEmpty());
    QCOMPARE(r.out, QString());
    QCOMPARE(readFile(file_), before);
}

void TestXlsTool::closedPipeIsAnErrorNotASignal() {
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("Sheet1")});
    for (int row = 0; row < 3000; ++row)
        wb.setText(0, {row, 0}, QStringLiteral("第%1行的内容").arg(row));
    QFile f(file_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(wb.toBytes());
    f.close();
    QProcess shell;
    shell.start(
        QStringLiteral("/bin/bash"),
        {QStringLiteral("-c"),
         QStringLiteral("\"$0\" dump \"$1\" | head -c 10 >/dev/null; echo ${PIPESTATUS[0]}"),
         QStringLiteral(VELMORA_XLS_TOOL), file_});
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.readAllStandardOutput().trimmed(), QByteArray("1"));
}

void TestXlsTool::failedSaveLeavesTheFileAsItWas_data() {
    QTest::addColumn<QString>("step");
    for (const char* step : {"open", "write", "flush", "rename"})
        QTest::newRow(step) << QString::fromLatin1(step);
}

void TestXlsTool::failedSaveLeavesTheFileAsItWas() {
    QFETCH(QString, step);
    const QByteArray before = readFile(file_);
    setAtomicWriteProbe([&](const char* at) {
        if (step == QLatin1String(at))
            throw HostError(QStringLiteral("模拟的故障"));
    });
    QVERIFY_THROWS_EXCEPTION(
        HostError, xlstool::setCell(file_, QStringLiteral("学生档案"), QStringLiteral("A1"),
                                    QStringLiteral("新")));
    setAtomicWriteProbe({});
    QCOMPARE(readFile(file_), before);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), QStringList{QStringLiteral("班级.xls")});
}

QTEST_GUILESS_MAIN(TestXlsTool)
#include "test_xls_tool.moc"
