// The spreadsheet host contract, run against the host that the factory linked
// into this program makes, on the same workbook files for every host: reads
// of every cell kind, the two kinds of write, bad requests, select, save and
// reload as an independent reader sees them, files that cannot be opened, a
// lock held by another program, quitting with and without unsaved changes.
// No host leaves a process running after any test.
#include "archive/studentarchiveform.h"
#include "comments/commentwriterform.h"
#include "common/messages.h"
#include "countinghost.h"
#include "fixtures.h"
#include "settings/classsettingsform.h"
#include "testedhost.h"
#include "workbook/backups.h"
#include "workbook/connection.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"
#include "xlrdtexts.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;
using Kind = CellValue::Kind;

namespace {

const QString kFile = QStringLiteral("Velmoravm2.1.xls");
const QString kArchive = layout::kArchiveSheet;
const QString kNotebook = layout::kNotebookSheet;

const QStringList& templateSheets() {
    using namespace layout;
    static const QStringList names{kSettingsSheet, kArchiveSheet,    kScoresSheet,
                                   kCommentsSheet, kListsSheet,      kRatesSheet,
                                   kHandbookSheet, kRecordCardSheet, kNotebookSheet};
    return names;
}

WorkbookContent classContent() {
    WorkbookContent content;
    content.sheets = templateSheets();
    content.cells[kArchive] = {{"A1", "序号"},
                               {"A2", "1"},
                               {"C2", "张三"},
                               {"D2", "0.5"},
                               {"E2", "1000000000000000"},
                               {"F2", "第一行\n第二行"},
                               {"G2", "-3.25"},
                               {"H2", "=1+2"},
                               {"J2", "0.000001"},
                               {"K2", "123456789012345678"}};
    content.cells[kNotebook] = {{"B5", "工作计划"}};
    return content;
}

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(kFile);
    explicit Fixture(const WorkbookContent& content = classContent()) {
        writeWorkbook(path, content);
    }
    QStringList files() const {
        return QDir(dir.path())
            .entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
    }
};

QString corpusFile(const QString& name) {
    return qEnvironmentVariable("VELMORA_CORPUS") + u'/' + name;
}

}  // namespace

class TestHostContract : public QObject {
    Q_OBJECT
    HostKind kind_ = hostUnderTest();

    std::unique_ptr<TestedHost> opened(const QString& path) {
        std::unique_ptr<TestedHost> h = kind_.create();
        h->host().open(path);
        return h;
    }

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void reads_data();
    void reads();
    void corpusReads_data();
    void corpusReads();
    void writes_data();
    void writes();
    void badRequests_data();
    void badRequests();
    void overlongTextIsRefused();
    void selectEverySheet();
    void savedCellsReachTheFile();
    void badFiles_data();
    void badFiles();
    void lockedByAnotherProgram_data();
    void lockedByAnotherProgram();
    void quitting_data();
    void quitting();
    void fileChangedByAnotherProgram();
    void failedSaveAtQuitKeepsEverything();
    void formulasFollowWrites();
    void windowsWriteOnlyWhatTheTeacherSaw();
    void templateFollowsWrites();
    void wholeRecordCard();
};

void TestHostContract::initTestCase() {
    const QString why = kind_.unavailable();
    if (!why.isEmpty())
        QSKIP(qPrintable(QStringLiteral("%1 host: %2").arg(kind_.name, why)));
    qInfo("host under test: %s", qPrintable(kind_.name));
}

void TestHostContract::cleanup() {
    QCOMPARE(kind_.leftovers(), QStringList());
}

void TestHostContract::reads_data() {
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("text") << kArchive << "C2" << int(Kind::Text) << "张三";
    QTest::newRow("lower-case column") << kArchive << "c2" << int(Kind::Text) << "张三";
    QTest::newRow("whole number") << kArchive << "A2" << int(Kind::Number) << "1";
    QTest::newRow("fraction") << kArchive << "D2" << int(Kind::Number) << "0.5";
    QTest::newRow("negative") << kArchive << "G2" << int(Kind::Number) << "-3.25";
    QTest::newRow("large number") << kArchive << "E2" << int(Kind::Number) << "1E+15";
    QTest::newRow("small number") << kArchive << "J2" << int(Kind::Number) << "1E-06";
    QTest::newRow("beyond 15 digits")
        << kArchive << "K2" << int(Kind::Number) << "1.23456789012346E+17";
    QTest::newRow("formula-like text") << kArchive << "H2" << int(Kind::Text) << "=1+2";
    QTest::newRow("several lines") << kArchive << "F2" << int(Kind::Text) << "第一行\n第二行";
    QTest::newRow("empty cell") << kArchive << "B2" << int(Kind::Empty) << "";
    QTest::newRow("last cell of a sheet") << kArchive << "IV65536" << int(Kind::Empty) << "";
    QTest::newRow("sheet with a trailing blank")
        << kNotebook << "B5" << int(Kind::Text) << "工作计划";
}

void TestHostContract::reads() {
    QFETCH(QString, sheet);
    QFETCH(QString, address);
    QFETCH(int, kind);
    QFETCH(QString, text);
    Fixture f;
    auto h = opened(f.path);
    const CellValue v = h->host().read(sheet, address);
    QCOMPARE(int(v.kind), kind);
    QCOMPARE(v.toText(), text);
}

// Files written by other programs: every cell xlrd finds reads as the text
// the cell-text rules give its value. Formula results are the file's cached
// ones, which a host that recalculates may change: those columns are left out.
void TestHostContract::corpusReads_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("cells");  // the addresses compared
    const QString all = QStringLiteral(".*");
    QTest::newRow("booleans, errors, dates")
        << "easyexcel_converter03_zh_bool_err_dates.xls" << all;
    QTest::newRow("error constants") << "sheetjs_ErrorTypes.xls"
                                     << "^[A-E][0-9]+$";
    QTest::newRow("1904 date system") << "sheetjs_1904_datemode.xls" << all;
    QTest::newRow("several lines") << "easyexcel_t01_mac2016_zh_multiline.xls" << all;
    QTest::newRow("CR LF in text") << "sheetjs_crlf_mac2016.xls" << all;
    QTest::newRow("sheet name ending in a blank")
        << "poi_47245_trailing_blank_sheetname.xls" << all;
    QTest::newRow("negative numbers, WPS") << "extrame_negatives_wps_zh.xls" << all;
    QTest::newRow("number formats of LibreOffice") << "sheetjs_LONumbers_libreoffice.xls" << all;
}

void TestHostContract::corpusReads() {
    QFETCH(QString, file);
    QFETCH(QString, cells);
    const QRegularExpression compared(cells);
    const auto expected = xlrdReading(corpusFile(file));
    if (!expected)
        QSKIP("python3-xlrd is not installed");
    QVERIFY(!expected->texts.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(file);
    QVERIFY(QFile::copy(corpusFile(file), path));
    auto h = opened(path);
    QStringList differences;
    int count = 0;
    for (auto sheet = expected->texts.begin(); sheet != expected->texts.end(); ++sheet) {
        for (auto cell = sheet->begin(); cell != sheet->end() && count < 600; ++cell) {
            if (!compared.match(cell.key()).hasMatch())
                continue;
            ++count;
            const QString got = h->host().read(sheet.key(), cell.key()).toText();
            if (got != cell.value())
                differences << QStringLiteral("%1!%2 (%3): \"%4\" read, \"%5\" expected")
                                   .arg(sheet.key(), cell.key(),
                                        expected->kinds[sheet.key()][cell.key()], got,
                                        cell.value());
        }
    }
    QVERIFY(count > 0);
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u'\n')));
}

void TestHostContract::writes_data() {
    QTest::addColumn<bool>("raw");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("stored");  // the cell's text afterwards
    QTest::addColumn<QString>("xlrdKind");
    QTest::newRow("raw number stays text") << true << "12" << int(Kind::Text) << "12"
                                           << "text";
    QTest::newRow("raw formula stays text") << true << "=1+2" << int(Kind::Text) << "=1+2"
                                            << "text";
    QTest::newRow("raw leading zeros stay") << true << "007" << int(Kind::Text) << "007"
                                            << "text";
    QTest::newRow("raw leading apostrophe stays") << true << "'abc" << int(Kind::Text) << "'abc"
                                                  << "text";
    QTest::newRow("raw apostrophe and number") << true << "'12" << int(Kind::Text) << "'12"
                                               << "text";
    QTest::newRow("raw date-like stays text") << true << "2003-9-1" << int(Kind::Text) << "2003-9-1"
                                              << "text";
    QTest::newRow("raw several lines") << true << "甲\n乙" << int(Kind::Text) << "甲\n乙"
                                       << "text";
    QTest::newRow("raw CR LF becomes LF") << true << "甲\r\n乙" << int(Kind::Text) << "甲\n乙"
                                          << "text";
    QTest::newRow("raw empty empties") << true << "" << int(Kind::Empty) << ""
                                       << "";
    QTest::newRow("typed number") << false << "12" << int(Kind::Number) << "12"
                                  << "number";
    QTest::newRow("typed fraction") << false << "-3.5" << int(Kind::Number) << "-3.5"
                                    << "number";
    QTest::newRow("typed full-width") << false << "－１２０．５" << int(Kind::Number) << "-120.5"
                                      << "number";
    QTest::newRow("typed exponent stays text") << false << "1e5" << int(Kind::Text) << "1e5"
                                               << "text";
    QTest::newRow("typed blank-padded stays text") << false << " 12" << int(Kind::Text) << " 12"
                                                   << "text";
    QTest::newRow("typed formula stays text") << false << "=1+2" << int(Kind::Text) << "=1+2"
                                              << "text";
    QTest::newRow("typed words") << false << "初三（6）" << int(Kind::Text) << "初三（6）"
                                 << "text";
    QTest::newRow("typed empty empties") << false << "" << int(Kind::Empty) << ""
                                         << "";
}

void TestHostContract::writes() {
    QFETCH(bool, raw);
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QString, stored);
    QFETCH(QString, xlrdKind);
    Fixture f;
    auto h = opened(f.path);
    SpreadsheetHost& host = h->host();
    raw ? host.writeRaw(kArchive, "C2", text) : host.write(kArchive, "C2", text);
    QCOMPARE(int(host.read(kArchive, "C2").kind), kind);
    QCOMPARE(host.read(kArchive, "c2").toText(), stored);
    QVERIFY(h->hasUnsavedChanges());
    host.save();
    QVERIFY(!h->hasUnsavedChanges());

    const auto reading = xlrdReading(f.path);
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    QCOMPARE(reading->kinds[kArchive].value("C2"), xlrdKind);
    QCOMPARE(reading->texts[kArchive].value("C2"), stored);
    QCOMPARE(reading->texts[kArchive].value("A2"), QStringLiteral("1"));
}

void TestHostContract::badRequests_data() {
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
    QTest::newRow("row 0") << kArchive << "A0"
                           << "A0";
    QTest::newRow("past last row") << kArchive << "A65537"
                                   << "A65537";
    QTest::newRow("past last column") << kArchive << "IW1"
                                      << "IW1";
    QTest::newRow("empty address") << kArchive << ""
                                   << "单元格地址";
    QTest::newRow("range") << kArchive << "A1:B2"
                           << "A1:B2";
}

void TestHostContract::badRequests() {
    QFETCH(QString, sheet);
    QFETCH(QString, address);
    QFETCH(QString, inMessage);
    Fixture f;
    const QByteArray before = fileBytes(f.path);
    auto h = opened(f.path);
    SpreadsheetHost& host = h->host();
    for (const QString& message : {messageOf([&] { host.read(sheet, address); }),
                                   messageOf([&] { host.writeRaw(sheet, address, "x"); }),
                                   messageOf([&] { host.write(sheet, address, "1"); })})
        QVERIFY2(message.contains(inMessage), qPrintable(message));
    if (sheet != kArchive)
        QVERIFY(messageOf([&] { host.select(sheet); }).contains(sheet));
    QVERIFY(!h->hasUnsavedChanges());
    QCOMPARE(host.read(kArchive, "C2").toText(), QStringLiteral("张三"));
    QCOMPARE(fileBytes(f.path), before);
}

void TestHostContract::overlongTextIsRefused() {
    Fixture f;
    auto h = opened(f.path);
    SpreadsheetHost& host = h->host();
    const QString longest(32767, u'字');
    QVERIFY(messageOf([&] { host.writeRaw(kArchive, "C2", longest + u'字'); }).contains("32767"));
    QCOMPARE(host.read(kArchive, "C2").toText(), QStringLiteral("张三"));
    QVERIFY(!h->hasUnsavedChanges());
    host.writeRaw(kArchive, "C2", longest);
    QCOMPARE(host.read(kArchive, "C2").toText(), longest);
}

// Select changes only the active sheet: no cell, no unsaved change.
void TestHostContract::selectEverySheet() {
    Fixture f;
    auto h = opened(f.path);
    SpreadsheetHost& host = h->host();
    host.show();
    for (const QString& sheet : templateSheets()) host.select(sheet);
    QVERIFY(!h->hasUnsavedChanges());
    QCOMPARE(host.read(kNotebook, "B5").toText(), QStringLiteral("工作计划"));
}

// The day's first save keeps the file as it was in the backups folder.
void TestHostContract::savedCellsReachTheFile() {
    Fixture f;
    const QByteArray before = fileBytes(f.path);
    const QString comment = QStringLiteral("该生学习认真，\n乐于助人。").repeated(30);
    {
        auto h = opened(f.path);
        h->host().writeRaw(kArchive, "AV61", comment);
        h->host().write(kNotebook, "C6", "98.5");
        h->host().save();
        h->host().quit();
    }
    QCOMPARE(fileBytes(backups::dailyPath(f.path, backups::now().date())), before);
    auto again = opened(f.path);
    QCOMPARE(again->host().read(kArchive, "AV61").toText(), comment);
    QCOMPARE(again->host().read(kNotebook, "C6").toText(), QStringLiteral("98.5"));
    QCOMPARE(again->host().read(kArchive, "F2").toText(), QStringLiteral("第一行\n第二行"));
    again.reset();

    const auto reading = xlrdReading(f.path);
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    QCOMPARE(reading->sheets, templateSheets());
    QCOMPARE(reading->texts[kArchive].value("AV61"), comment);
    QCOMPARE(reading->kinds[kNotebook].value("C6"), QStringLiteral("number"));
    QCOMPARE(reading->texts[kNotebook].value("C6"), QStringLiteral("98.5"));
    QCOMPARE(reading->texts[kArchive].value("C2"), QStringLiteral("张三"));
    QCOMPARE(reading->texts[kArchive].value("H2"), QStringLiteral("=1+2"));
}

void TestHostContract::badFiles_data() {
    QTest::addColumn<QByteArray>("content");  // null: no file at all
    QTest::addColumn<QString>("inMessage");
    QTest::newRow("missing") << QByteArray() << "找不到";
    QTest::newRow("empty file") << QByteArray("") << kFile;
    QTest::newRow("plain text") << QByteArray("序号,姓名\n1,张三\n") << kFile;
    QTest::newRow("compound file header only")
        << QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(504, '\0') << kFile;
}

void TestHostContract::badFiles() {
    QFETCH(QByteArray, content);
    QFETCH(QString, inMessage);
    QTemporaryDir dir;
    const QString path = dir.filePath(kFile);
    if (!content.isNull())
        writeBytes(path, content);
    std::unique_ptr<TestedHost> h = kind_.create();
    const QString message = messageOf([&] { h->host().open(path); });
    QVERIFY2(message.contains(inMessage), qPrintable(message));
    QVERIFY(messageOf([&] { h->host().read(kArchive, "A1"); }) != QStringLiteral("(no error)"));
    h.reset();
    // Nothing is left behind: no lock, the file as it was.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
             content.isNull() ? 0 : 1);
    if (!content.isNull())
        QCOMPARE(fileBytes(path), content);
}

void TestHostContract::lockedByAnotherProgram_data() {
    QTest::addColumn<QByteArray>("lock");
    QTest::addColumn<QString>("inMessage");
    QTest::newRow("someone on another computer")
        << QByteArray("李老师,li,office-pc,01.09.2026 08:00,file:///home/li/.config/libreoffice/4;")
        << "李老师";
    // The teacher's own LibreOffice, on this computer, with no name set.
    QTest::newRow("this user in another program")
        << QStringLiteral(",%1,%2,01.09.2026 08:00,file:///home/%1/.config/libreoffice/4;")
               .arg(qEnvironmentVariable("USER", "root"), QSysInfo::machineHostName())
               .toUtf8()
        << "另一个程序";
}

void TestHostContract::lockedByAnotherProgram() {
    QFETCH(QByteArray, lock);
    QFETCH(QString, inMessage);
    Fixture f;
    const QString lockPath = f.dir.filePath(QStringLiteral(".~lock.%1#").arg(kFile));
    writeBytes(lockPath, lock);
    const QByteArray before = fileBytes(f.path);
    std::unique_ptr<TestedHost> h = kind_.create();
    const QString message = messageOf([&] { h->host().open(f.path); });
    QVERIFY2(message.contains(inMessage), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("另一个程序")), qPrintable(message));
    h.reset();
    QCOMPARE(fileBytes(lockPath), lock);
    QCOMPARE(fileBytes(f.path), before);
}

void TestHostContract::quitting_data() {
    QTest::addColumn<bool>("change");
    QTest::addColumn<SaveAnswer>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("ended");
    QTest::newRow("no changes") << false << SaveAnswer::Save << false << false << true;
    QTest::newRow("changes, 保存") << true << SaveAnswer::Save << true << true << true;
    QTest::newRow("changes, 不保存") << true << SaveAnswer::Discard << true << false << true;
    QTest::newRow("changes, 取消") << true << SaveAnswer::Cancel << true << false << false;
}

// 取消 (Esc, the question closed) goes back to work: the host runs on with
// the change unsaved and not dropped, and a later quit asks again.
void TestHostContract::quitting() {
    QFETCH(bool, change);
    QFETCH(SaveAnswer, answer);
    QFETCH(bool, asked);
    QFETCH(bool, saved);
    QFETCH(bool, ended);
    Fixture f;
    const QByteArray before = fileBytes(f.path);
    auto h = opened(f.path);
    int questions = 0;
    h->setSaveQuestion([&] {
        ++questions;
        return answer;
    });
    if (change)
        h->host().writeRaw(kArchive, "C2", "王五");
    QCOMPARE(h->host().quit(), ended);
    QCOMPARE(questions, asked ? 1 : 0);
    QCOMPARE(fileBytes(f.path) != before, saved);
    if (!ended) {
        QCOMPARE(h->host().read(kArchive, "C2").toText(), QStringLiteral("王五"));
        QVERIFY(h->hasUnsavedChanges());
        answer = SaveAnswer::Discard;
        QVERIFY(h->host().quit());
        QCOMPARE(questions, 2);
        QCOMPARE(fileBytes(f.path), before);
    }
    QVERIFY(messageOf([&] { h->host().read(kArchive, "C2"); }) != QStringLiteral("(no error)"));
    const QStringList files =
        saved ? QStringList{kFile, QStringLiteral("备份")} : QStringList{kFile};
    QCOMPARE(f.files(), files);
    QCOMPARE(kind_.leftovers(), QStringList());
    h.reset();
    auto again = opened(f.path);
    QCOMPARE(again->host().read(kArchive, "C2").toText(),
             saved ? QStringLiteral("王五") : QStringLiteral("张三"));
}

// Another program saved the file after the host loaded it: saving does not
// write over that program's work, and the teacher's goes to a copy beside it.
void TestHostContract::fileChangedByAnotherProgram() {
    Fixture f;
    auto h = opened(f.path);
    h->host().writeRaw(kArchive, "C2", "王五");
    WorkbookContent other = classContent();
    other.cells[kArchive]["C3"] = QStringLiteral("别的程序写的");
    // A host may judge by the file's time stamp, which counts whole seconds.
    QTest::qWait(1100);
    writeWorkbook(f.path, other);
    const QByteArray theirs = fileBytes(f.path);
    const QString message = messageOf([&] { h->host().save(); });
    QVERIFY2(message.contains(QStringLiteral("已被其他程序修改")), qPrintable(message));
    QCOMPARE(fileBytes(f.path), theirs);
    const QStringList copies =
        QDir(f.dir.path())
            .entryList({QStringLiteral("Velmoravm2.1 (未保存的修改 *).xls")}, QDir::Files);
    QCOMPARE(copies.size(), 1);
    QVERIFY2(message.contains(copies.first()), qPrintable(message));
    h.reset();
    auto copy = opened(f.dir.filePath(copies.first()));
    QCOMPARE(copy->host().read(kArchive, "C2").toText(), QStringLiteral("王五"));
    QCOMPARE(copy->host().read(kArchive, "C3").toText(), QString());
}

// A save at quit that fails (the file's place taken by a folder) ends
// nothing: the change stays, and the next quit saves it.
void TestHostContract::failedSaveAtQuitKeepsEverything() {
    Fixture f;
    auto h = opened(f.path);
    h->setSaveQuestion([] { return SaveAnswer::Save; });
    h->host().writeRaw(kArchive, "C2", "王五");
    const QByteArray before = fileBytes(f.path);
    QVERIFY(QFile::remove(f.path));
    QVERIFY(QDir().mkdir(f.path));
    QVERIFY(messageOf([&] { h->host().quit(); }) != QStringLiteral("(no error)"));
    QCOMPARE(h->host().read(kArchive, "C2").toText(), QStringLiteral("王五"));
    QVERIFY(h->hasUnsavedChanges());
    QVERIFY(QDir().rmdir(f.path));
    writeBytes(f.path, before);
    h->host().quit();
    h.reset();
    auto again = opened(f.path);
    QCOMPARE(again->host().read(kArchive, "C2").toText(), QStringLiteral("王五"));
}

// Formulas: the host shows their results, recomputes what reads a written
// cell before the next read (across sheets too), and the saved file holds
// them for the next opening and for other readers.
void TestHostContract::formulasFollowWrites() {
    using layout::kScoresSheet;
    WorkbookContent content;
    content.sheets = templateSheets();
    auto& scores = content.cells[kScoresSheet];
    scores = {{"B1", "姓名"}, {"C1", "语文"}, {"D1", "数学"}, {"B2", "张三"},
              {"C2", "90"},   {"D2", "80"},   {"B3", "李四"}, {"C3", "75"},
              {"D3", "70"},   {"B4", "王五"}, {"C4", "60"},   {"D4", "95"}};
    for (const QString row : {"2", "3", "4"}) {
        content.formulas[kScoresSheet]["E" + row] = "SUM(C" + row + ":D" + row + ")";
        content.formulas[kScoresSheet]["F" + row] = "RANK(E" + row + ",$E$2:$E$4)";
        content.formulas[kScoresSheet]["G" + row] = "IF(E" + row + ">=150,\"优秀\",\"\")";
    }
    content.formulas[kNotebook] = {
        {"B6", "COUNTIF(各科成绩!E2:E4,\">=150\")&\"人\""},
        {"B7", "IFERROR(VLOOKUP(\"王五\",各科成绩!B2:E4,4,FALSE),\"无\")"},
        {"B8", "TEXT(AVERAGE(各科成绩!E2:E4),\"0.0\")"}};
    Fixture f(content);
    const auto shown = [](SpreadsheetHost& host) {
        QStringList texts;
        for (const QString cell : {"E2", "E3", "E4", "F2", "F3", "F4", "G2", "G3", "G4"})
            texts << host.read(kScoresSheet, cell).toText();
        for (const QString cell : {"B6", "B7", "B8"}) texts << host.read(kNotebook, cell).toText();
        return texts.join(u' ');
    };
    auto h = opened(f.path);
    SpreadsheetHost& host = h->host();
    QCOMPARE(shown(host), QStringLiteral("170 145 155 1 3 2 优秀  优秀 2人 155 156.7"));
    host.write(kScoresSheet, "D3", "95");
    QCOMPARE(shown(host), QStringLiteral("170 170 155 1 1 3 优秀 优秀 优秀 3人 155 165.0"));
    host.writeRaw(kScoresSheet, "D4", "缺考");
    const QString last = QStringLiteral("170 170 60 1 1 3 优秀 优秀  2人 60 133.3");
    QCOMPARE(shown(host), last);
    host.save();
    host.quit();
    h.reset();
    auto again = opened(f.path);
    QCOMPARE(shown(again->host()), last);
    again.reset();
    const auto reading = xlrdReading(f.path);
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    QCOMPARE(reading->texts[kScoresSheet].value("E4"), QStringLiteral("60"));
    QCOMPARE(reading->texts[kNotebook].value("B7"), QStringLiteral("60"));
}

// The record card and the settings over this host: student 1 looked up
// and stored under number 3 leaves student 3's record alone, and settings
// made earlier open as they stand, 确定 writing only the changed box; the
// comment writer reads the class's comments and stores one comment alone.
void TestHostContract::windowsWriteOnlyWhatTheTeacherSaw() {
    Fixture f;
    auto h = opened(f.path);
    SpreadsheetHost& host = h->host();
    host.writeRaw(kArchive, "A4", "3");
    host.writeRaw(kArchive, "C4", "李四");
    host.writeRaw(layout::kSettingsSheet, "C7", "王老师");
    host.write(layout::kSettingsSheet, "B12", "120");
    // The windows reach the host through the connection, which owns what it
    // holds: it gets a pass-through that leaves the host to the test.
    auto counting = std::make_unique<CountingHost>(
        std::shared_ptr<SpreadsheetHost>(&host, [](SpreadsheetHost*) {}));
    const QStringList& requests = counting->log;
    StudentWorkbook::adopt(std::move(counting));
    MessageRecorder messages;
    {
        archive::StudentArchiveForm card;
        auto* number = card.findChild<QLineEdit*>("TextBox1");
        number->setText("1");
        card.findChild<QPushButton*>("CommandButton2")->click();
        QCOMPARE(card.findChild<QLineEdit*>("TextBox3")->text(), QStringLiteral("张三"));
        number->setText("3");
        card.findChild<QPushButton*>("CommandButton3")->click();
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().startsWith(QStringLiteral("第3号学生已有档案")));
    }
    QCOMPARE(host.read(kArchive, "C4").toText(), QStringLiteral("李四"));
    QCOMPARE(host.read(kArchive, "D4").toText(), QString());
    {
        settings::ClassSettingsForm settings;
        auto* school = settings.findChild<QLineEdit*>("TextBox1");
        QCOMPARE(school->text(), QString());  // empty, not the default
        QCOMPARE(settings.findChild<QLineEdit*>("TextBox19")->text(), QStringLiteral("王老师"));
        school->setText(QStringLiteral("第二中学"));
        settings.findChild<QPushButton*>("CommandButton1")->click();
    }
    // The comment writer reads the class as it opens and writes AM alone.
    host.writeRaw(layout::kCommentsSheet, "AM2", QStringLiteral("上课认真听讲，积极回答问题。"));
    const QString comment = QStringLiteral("好学生。上课认真听讲，积极回答问题！");
    {
        const qsizetype said = messages.texts().size();
        comments::CommentWriterForm writer;
        const qsizetype opened = requests.size();
        writer.findChild<QLineEdit*>("TextBox12")->setText("3");
        writer.findChild<QPlainTextEdit*>("TextBox13")->setPlainText(comment);
        QCOMPARE(writer.findChild<QLabel*>("CommentReuse")->text(),
                 QStringLiteral("“上课认真听讲……”已用于 1 号的评语"));
        writer.findChild<QPushButton*>("CommandButton4")->click();
        writer.findChild<QPushButton*>("OverviewButton")->click();
        QCOMPARE(writer.findChild<QLabel*>("OverviewProgress")->text(), QStringLiteral("已完成 2/2"));
        const QStringList changes = requests.mid(opened).filter(QRegularExpression("^(write|save)"));
        QCOMPARE(changes, (QStringList{"writeRaw 写评语!AM4=" + comment, "save"}));
        QCOMPARE(messages.texts().size(), said);
    }
    StudentWorkbook::close();
    QCOMPARE(host.read(layout::kCommentsSheet, "AM4").toText(), comment);
    QCOMPARE(host.read(layout::kSettingsSheet, "C4").toText(), QStringLiteral("第二中学"));
    QCOMPARE(host.read(layout::kSettingsSheet, "C7").toText(), QStringLiteral("王老师"));
    QCOMPARE(int(host.read(layout::kSettingsSheet, "B12").kind), int(Kind::Number));
    QCOMPARE(host.read(layout::kSettingsSheet, "C5").toText(), QString());
}

// The shipped template's formulas after the windows' writes: a name in the
// student archive is the comment writer's, scores give the total, mean and
// rank, a subject named in 设置 heads its column of 各科成绩 and its row of
// 率; the results are in the file after a save.
void TestHostContract::templateFollowsWrites() {
    using namespace layout;
    QTemporaryDir dir;
    const QString path = dir.filePath(kFile);
    QVERIFY(QFile::copy(qEnvironmentVariable("VELMORA_TEMPLATE"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    auto h = opened(path);
    SpreadsheetHost& host = h->host();
    const auto text = [&](const QString& sheet, const QString& cell) {
        return host.read(sheet, cell).toText();
    };
    QCOMPARE(text(kCommentsSheet, "B3"), QString());
    host.writeRaw(kArchiveSheet, "A3", "2");
    host.writeRaw(kArchiveSheet, "C3", "李四");
    QCOMPARE(text(kCommentsSheet, "B3"), QStringLiteral("李四"));
    QCOMPARE(text(kCommentsSheet, "C3"), QStringLiteral("尚无成绩"));
    host.write(kScoresSheet, "C3", "90");
    host.write(kScoresSheet, "E3", "81");
    QCOMPARE(text(kScoresSheet, "P3") + u' ' + text(kScoresSheet, "Q3") + u' ' +
                 text(kScoresSheet, "R3"),
             QStringLiteral("171 85.5 1"));
    QCOMPARE(text(kCommentsSheet, "C3"), QStringLiteral("总分171，平均分85.5，第1名"));
    QCOMPARE(text(kScoresSheet, "C1"), QStringLiteral("政治"));
    host.write(kSettingsSheet, "B11", "思想品德");
    host.write(kSettingsSheet, "D12", "150");
    QCOMPARE(text(kScoresSheet, "C1"), QStringLiteral("思想品德"));
    QCOMPARE(
        text(kRatesSheet, "A3") + u' ' + text(kRatesSheet, "B5") + u' ' + text(kRatesSheet, "H5"),
        QStringLiteral("思想品德 150 0"));  // 81 of 150 is no pass
    host.save();
    host.quit();
    h.reset();
    auto again = opened(path);
    QCOMPARE(again->host().read(kCommentsSheet, "B3").toText(), QStringLiteral("李四"));
    again.reset();
    const auto reading = xlrdReading(path);
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    // Numbers only: LibreOffice stores the text results of formulas as 0
    // (in Excel's own files too); xlrd trusts what is stored.
    QCOMPARE(reading->texts[kScoresSheet].value("P3"), QStringLiteral("171"));
    QCOMPARE(reading->texts[kRatesSheet].value("B5"), QStringLiteral("150"));
}

// A whole record card: the 47 fields of one student read, then 47 written
// and saved.
void TestHostContract::wholeRecordCard() {
    WorkbookContent content;
    content.sheets = {layout::kSettingsSheet, kArchive, layout::kCommentsSheet};
    for (int n = 1; n <= 60; ++n)
        for (const QString& column : layout::archiveColumns())
            content.cells[kArchive][layout::address(column, layout::rowOf(n))] =
                QStringLiteral("学生%1的%2栏内容").arg(n).arg(column);
    Fixture f(content);
    auto h = opened(f.path);
    for (const QString& column : layout::archiveColumns())
        QCOMPARE(h->host().read(kArchive, layout::address(column, layout::rowOf(32))).toText(),
                 QStringLiteral("学生32的%1栏内容").arg(column));
    for (const QString& column : layout::archiveColumns())
        h->host().writeRaw(kArchive, layout::address(column, 62), column);
    h->host().save();
    QCOMPARE(h->host().read(kArchive, "AV62").toText(), QStringLiteral("AV"));
}

QTEST_MAIN(TestHostContract)
#include "test_hostcontract.moc"
