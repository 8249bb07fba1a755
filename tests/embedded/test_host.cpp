// The embedded host on real workbook files: reads, the two kinds of write,
// errors, save and what a failing save leaves behind, quitting.
#include "fixtures.h"
#include "workbook/atomicfile.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"
#include "workbook/xls/xlsworkbook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;
using Kind = CellValue::Kind;

namespace {

const QString kFile = QStringLiteral("Velmoravm2.1.xls");
const QString kNotebook = layout::kNotebookSheet;

WorkbookContent classContent() {
    WorkbookContent content;
    content.sheets = {layout::kSettingsSheet, layout::kArchiveSheet, kNotebook};
    content.cells[layout::kArchiveSheet] = {{"A1", "序号"},
                                         {"A2", "1"},
                                         {"C2", "张三"},
                                         {"D2", "0.5"},
                                         {"E2", "1000000000000000"},
                                         {"F2", "第一行\n第二行"},
                                         {"G2", "-3.25"}};
    content.cells[kNotebook] = {{"B5", "工作计划"}};
    return content;
}

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(kFile);
    Fixture() { writeWorkbook(path, classContent()); }
};

void throwAt(const char* failing) {
    setAtomicWriteProbe([failing](const char* step) {
        if (qstrcmp(step, failing) == 0)
            throw HostError(QStringLiteral("模拟的失败：%1").arg(QLatin1String(step)));
    });
}

}  // namespace

class TestHost : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { setAtomicWriteProbe({}); }
    void reads_data();
    void reads();
    void writes_data();
    void writes();
    void badRequests_data();
    void badRequests();
    void tooLongTextRefused();
    void savedCellsReachTheFile();
    void failingSaveLeavesTheFile_data();
    void failingSaveLeavesTheFile();
    void badFiles_data();
    void badFiles();
    void quitting_data();
    void quitting();
    void failedSaveAtQuitKeepsEverything();
    void recordCardReadIsFast();
};

void TestHost::reads_data() {
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    const QString a = layout::kArchiveSheet;
    QTest::newRow("text") << a << "C2" << int(Kind::Text) << "张三";
    QTest::newRow("lower-case column") << a << "c2" << int(Kind::Text) << "张三";
    QTest::newRow("whole number") << a << "A2" << int(Kind::Number) << "1";
    QTest::newRow("fraction") << a << "D2" << int(Kind::Number) << "0.5";
    QTest::newRow("negative") << a << "G2" << int(Kind::Number) << "-3.25";
    QTest::newRow("large number") << a << "E2" << int(Kind::Number) << "1E+15";
    QTest::newRow("several lines") << a << "F2" << int(Kind::Text) << "第一行\n第二行";
    QTest::newRow("empty cell") << a << "B2" << int(Kind::Empty) << "";
    QTest::newRow("last cell of a sheet") << a << "IV65536" << int(Kind::Empty) << "";
    QTest::newRow("sheet with a trailing blank")
        << kNotebook << "B5" << int(Kind::Text) << "工作计划";
}

void TestHost::reads() {
    QFETCH(QString, sheet);
    QFETCH(QString, address);
    QFETCH(int, kind);
    QFETCH(QString, text);
    Fixture f;
    EmbeddedHost host;
    host.open(f.path);
    const CellValue v = host.read(sheet, address);
    QCOMPARE(int(v.kind), kind);
    QCOMPARE(v.toText(), text);
}

void TestHost::writes_data() {
    QTest::addColumn<bool>("raw");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("xlrdKind");
    QTest::newRow("raw number stays text") << true << "12" << int(Kind::Text) << "text";
    QTest::newRow("typed number") << false << "12" << int(Kind::Number) << "number";
    QTest::newRow("typed fraction") << false << "-3.5" << int(Kind::Number) << "number";
    QTest::newRow("typed exponent stays text") << false << "1e5" << int(Kind::Text) << "text";
    QTest::newRow("typed blank-padded stays text") << false << " 12" << int(Kind::Text) << "text";
    QTest::newRow("typed words") << false << "初三（6）" << int(Kind::Text) << "text";
    QTest::newRow("raw several lines") << true << "甲\n乙" << int(Kind::Text) << "text";
    QTest::newRow("raw empty empties") << true << "" << int(Kind::Empty) << "";
    QTest::newRow("typed empty empties") << false << "" << int(Kind::Empty) << "";
}

void TestHost::writes() {
    QFETCH(bool, raw);
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QString, xlrdKind);
    Fixture f;
    EmbeddedHost host;
    host.open(f.path);
    const QString sheet = layout::kArchiveSheet;
    raw ? host.writeRaw(sheet, "C2", text) : host.write(sheet, "C2", text);
    QCOMPARE(int(host.read(sheet, "C2").kind), kind);
    QCOMPARE(host.read(sheet, "c2").toText(), text);
    QVERIFY(host.hasUnsavedChanges());
    host.save();
    QVERIFY(!host.hasUnsavedChanges());

    const auto reading = readWithXlrd(f.path);
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    const QJsonArray cell = xlrdCell(*reading, sheet, "C2");
    QCOMPARE(cell.at(0).toString(), xlrdKind);
    if (xlrdKind == "number")
        QCOMPARE(cell.at(1).toDouble(), text.toDouble());
    else if (xlrdKind == "text")
        QCOMPARE(cell.at(1).toString(), text);
}

void TestHost::badRequests_data() {
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("inMessage");
    QTest::newRow("unknown sheet") << "Sheet2"
                                   << "A1"
                                   << "Sheet2";
    QTest::newRow("trailing blank missing") << "打印到班主任工作笔记上"
                                            << "A1"
                                            << "打印到班主任工作笔记上";
    QTest::newRow("trailing blank added") << "学生档案 "
                                          << "A1"
                                          << "学生档案 ";
    QTest::newRow("row 0") << layout::kArchiveSheet << "A0"
                           << "A0";
    QTest::newRow("past last row") << layout::kArchiveSheet << "A65537"
                                   << "A65537";
    QTest::newRow("past last column") << layout::kArchiveSheet << "IW1"
                                      << "IW1";
    QTest::newRow("empty address") << layout::kArchiveSheet << ""
                                   << "单元格地址";
    QTest::newRow("range") << layout::kArchiveSheet << "A1:B2"
                           << "A1:B2";
}

void TestHost::badRequests() {
    QFETCH(QString, sheet);
    QFETCH(QString, address);
    QFETCH(QString, inMessage);
    Fixture f;
    const QByteArray before = fileBytes(f.path);
    EmbeddedHost host;
    host.open(f.path);
    const std::function<void()> requests[] = {
        [&] { host.read(sheet, address); },
        [&] { host.writeRaw(sheet, address, "x"); },
        [&] { host.write(sheet, address, "1"); },
    };
    for (const auto& request : requests) {
        try {
            request();
            QFAIL("a bad request was accepted");
        } catch (const HostError& e) {
            QVERIFY2(e.message().contains(inMessage), qPrintable(e.message()));
        }
    }
    if (sheet != layout::kArchiveSheet)
        QVERIFY_THROWS_EXCEPTION(HostError, host.select(sheet));
    QVERIFY(!host.hasUnsavedChanges());
    QCOMPARE(host.read(layout::kArchiveSheet, "C2").toText(), QStringLiteral("张三"));
    QCOMPARE(fileBytes(f.path), before);
}

// A cell holds at most 32767 characters: a longer text is refused whole.
void TestHost::tooLongTextRefused() {
    Fixture f;
    EmbeddedHost host;
    host.open(f.path);
    host.writeRaw(layout::kArchiveSheet, "AU2", QString(32767, u'字'));
    host.save();
    QVERIFY_THROWS_EXCEPTION(HostError,
                             host.writeRaw(layout::kArchiveSheet, "C2", QString(32768, u'字')));
    QCOMPARE(host.read(layout::kArchiveSheet, "C2").toText(), QStringLiteral("张三"));
    QVERIFY(!host.hasUnsavedChanges());
    QCOMPARE(host.read(layout::kArchiveSheet, "AU2").toText().size(), 32767);
}

void TestHost::savedCellsReachTheFile() {
    Fixture f;
    const QString comment = QStringLiteral("该生学习认真，\n乐于助人。").repeated(30);
    {
        EmbeddedHost host;
        host.open(f.path);
        host.writeRaw(layout::kArchiveSheet, "AV61", comment);
        host.write(kNotebook, "C6", "98.5");
        host.save();
    }
    EmbeddedHost again;
    again.open(f.path);
    QCOMPARE(again.read(layout::kArchiveSheet, "AV61").toText(), comment);
    QCOMPARE(again.read(kNotebook, "C6").toText(), QStringLiteral("98.5"));
    QCOMPARE(again.read(layout::kArchiveSheet, "F2").toText(), QStringLiteral("第一行\n第二行"));

    const auto reading = readWithXlrd(f.path);
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    QCOMPARE(reading->value("sheets").toArray().at(2).toString(), kNotebook);
    QCOMPARE(xlrdCell(*reading, layout::kArchiveSheet, "AV61").at(1).toString(), comment);
    QCOMPARE(xlrdCell(*reading, kNotebook, "C6").at(1).toDouble(), 98.5);
    QCOMPARE(xlrdCell(*reading, layout::kArchiveSheet, "C2").at(1).toString(),
             QStringLiteral("张三"));
}

void TestHost::failingSaveLeavesTheFile_data() {
    QTest::addColumn<QByteArray>("step");
    for (const char* step : {"open", "write", "flush", "rename"})
        QTest::newRow(step) << QByteArray(step);
}

void TestHost::failingSaveLeavesTheFile() {
    QFETCH(QByteArray, step);
    Fixture f;
    const QByteArray before = fileBytes(f.path);
    EmbeddedHost host;
    host.open(f.path);
    host.writeRaw(layout::kArchiveSheet, "C3", "李四");
    throwAt(step.constData());
    QVERIFY_THROWS_EXCEPTION(HostError, host.save());
    QCOMPARE(fileBytes(f.path), before);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // file, lock
    QVERIFY(host.hasUnsavedChanges());
    QCOMPARE(host.read(layout::kArchiveSheet, "C3").toText(), QStringLiteral("李四"));

    setAtomicWriteProbe({});
    host.save();
    QVERIFY(fileBytes(f.path) != before);
    QVERIFY(!host.hasUnsavedChanges());
}

void TestHost::badFiles_data() {
    QTest::addColumn<QByteArray>("content");  // empty: no file at all
    QTest::addColumn<QString>("inMessage");
    QTest::newRow("missing") << QByteArray() << "找不到";
    QTest::newRow("empty file") << QByteArray("") << kFile;
    QTest::newRow("plain text") << QByteArray("序号,姓名\n1,张三\n") << kFile;
    QTest::newRow("compound file header only")
        << QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(504, '\0') << kFile;
}

void TestHost::badFiles() {
    QFETCH(QByteArray, content);
    QFETCH(QString, inMessage);
    QTemporaryDir dir;
    const QString path = dir.filePath(kFile);
    if (!content.isNull())
        writeBytes(path, content);
    EmbeddedHost host;
    try {
        host.open(path);
        QFAIL("a bad file was opened");
    } catch (const HostError& e) {
        QVERIFY2(e.message().contains(inMessage), qPrintable(e.message()));
    }
    QVERIFY_THROWS_EXCEPTION(HostError, host.read(layout::kArchiveSheet, "A1"));
    // Nothing is left behind: no lock, the file as it was.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
             content.isNull() ? 0 : 1);
    if (!content.isNull())
        QCOMPARE(fileBytes(path), content);
}

void TestHost::quitting_data() {
    QTest::addColumn<bool>("change");
    QTest::addColumn<bool>("answer");  // 保存
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("saved");
    QTest::newRow("no changes") << false << true << false << false;
    QTest::newRow("changes, 保存") << true << true << true << true;
    QTest::newRow("changes, 不保存") << true << false << true << false;
}

void TestHost::quitting() {
    QFETCH(bool, change);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(bool, saved);
    Fixture f;
    const QByteArray before = fileBytes(f.path);
    EmbeddedHost host;
    host.open(f.path);
    bool questioned = false;
    host.setSaveQuestion([&] {
        questioned = true;
        return answer;
    });
    if (change)
        host.writeRaw(layout::kArchiveSheet, "C2", "王五");
    host.quit();
    QCOMPARE(questioned, asked);
    QCOMPARE(fileBytes(f.path) != before, saved);
    QVERIFY_THROWS_EXCEPTION(HostError, host.read(layout::kArchiveSheet, "C2"));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{kFile});
}

void TestHost::failedSaveAtQuitKeepsEverything() {
    Fixture f;
    EmbeddedHost host;
    host.open(f.path);
    host.setSaveQuestion([] { return true; });
    host.writeRaw(layout::kArchiveSheet, "C2", "王五");
    throwAt("rename");
    QVERIFY_THROWS_EXCEPTION(HostError, host.quit());
    QCOMPARE(host.read(layout::kArchiveSheet, "C2").toText(), QStringLiteral("王五"));
    QVERIFY(QDir(f.dir.path()).entryList(QDir::Hidden | QDir::Files).size() == 2);
    setAtomicWriteProbe({});
    host.quit();
    EmbeddedHost again;
    again.open(f.path);
    QCOMPARE(again.read(layout::kArchiveSheet, "C2").toText(), QStringLiteral("王五"));
}

// A class of 60 with all 47 fields filled; one record card is 47 reads.
void TestHost::recordCardReadIsFast() {
    QTemporaryDir dir;
    const QString path = dir.filePath(kFile);
    WorkbookContent content;
    content.sheets = {layout::kSettingsSheet, layout::kArchiveSheet, layout::kCommentsSheet};
    for (int n = 1; n <= 60; ++n)
        for (const QString& column : layout::archiveColumns())
            content.cells[layout::kArchiveSheet][layout::address(column, layout::rowOf(n))] =
                QStringLiteral("学生%1的%2栏内容").arg(n).arg(column);
    writeWorkbook(path, content);

    QElapsedTimer clock;
    clock.start();
    EmbeddedHost host;
    host.open(path);
    const qint64 openNs = clock.nsecsElapsed();
    clock.restart();
    QString last;
    for (const QString& column : layout::archiveColumns())
        last = host.read(layout::kArchiveSheet, layout::address(column, 31)).toText();
    const qint64 cardNs = clock.nsecsElapsed();
    qInfo("open %.3f ms, record card (47 reads) %.3f ms", openNs / 1e6, cardNs / 1e6);
    QCOMPARE(last, QStringLiteral("学生30的AV栏内容"));
    QVERIFY2(cardNs < 20'000'000, "47 reads took longer than 20 ms");
}

QTEST_MAIN(TestHost)
#include "test_host.moc"
