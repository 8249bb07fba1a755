// What the embedded host does beside the workbook file: the lock file other
// programs see, a save that finds the file changed by another program, and
// the template install of the first start.
#include "fixtures.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"
#include "workbook/lockentry.h"
#include "workbook/templateinstall.h"
#include "workbook/workbooklock.h"
#include "workbook/xls/xlsworkbook.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString kFile = QStringLiteral("Velmoravm2.1.xls");

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(kFile);
    QString lock = WorkbookLock::lockPathFor(path);
    Fixture() {
        WorkbookContent content;
        content.sheets = {layout::kSettingsSheet, layout::kArchiveSheet};
        content.cells[layout::kArchiveSheet] = {{"C2", "张三"}};
        writeWorkbook(path, content);
    }
    QStringList copies() const {
        return QDir(dir.path())
            .entryList({QStringLiteral("Velmoravm2.1 (未保存的修改 *).xls")}, QDir::Files);
    }
};

QString readOne(const QString& path, const QString& address) {
    const xls::XlsWorkbook book = xls::XlsWorkbook::load(path);
    return book.cell(book.sheetIndex(layout::kArchiveSheet), *parseA1(address)).toText();
}

LockEntry ourEntry() {
    return LockEntry::ours(QDateTime(QDate(2026, 12, 1), QTime(8, 5)));
}

}  // namespace

class TestFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lockEntries_data();
    void lockEntries();
    void lockLivesWhileOpen();
    void foreignLocksRefuse_data();
    void foreignLocksRefuse();
    void ownStaleLockIsTakenOver();
    void secondOpenWhileRunningRefused();
    void changedFileIsNotOverwritten();
    void removedFileIsWrittenAnew();
    void templateInstalledOnFirstStart();
    void existingWorkbookNeverReplaced();
    void openingChangesNoWorkbook();
};

void TestFiles::lockEntries_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("time");
    QTest::newRow("LibreOffice's own") << QByteArray(
                                              "Zhang San,zhangsan,pc-7,08.12.2026 15:30,"
                                              "file:///home/zhangsan/.config/libreoffice/4;")
                                       << true << "Zhang San"
                                       << "pc-7"
                                       << "08.12.2026 15:30";
    QTest::newRow("no full name") << QByteArray(",li,pc-8,01.09.2026 07:45,file:///x;") << true
                                  << ""
                                  << "pc-8"
                                  << "01.09.2026 07:45";
    QTest::newRow("escaped separators")
        << QByteArray("Wang\\, Wu\\;,ww,pc\\\\9,01.09.2026 07:45,u;") << true << "Wang, Wu;"
        << "pc\\9"
        << "01.09.2026 07:45";
    QTest::newRow("Chinese name") << QString("王老师,wang,教研室,02.09.2026 10:00,u;").toUtf8()
                                  << true << "王老师"
                                  << "教研室"
                                  << "02.09.2026 10:00";
    QTest::newRow("empty") << QByteArray() << false << ""
                           << ""
                           << "";
    QTest::newRow("unterminated") << QByteArray("a,b,c,d,e") << false << ""
                                  << ""
                                  << "";
    QTest::newRow("too few fields") << QByteArray("a,b,c;") << false << ""
                                    << ""
                                    << "";
}

void TestFiles::lockEntries() {
    QFETCH(QByteArray, content);
    QFETCH(bool, valid);
    const auto entry = LockEntry::parse(content);
    QCOMPARE(entry.has_value(), valid);
    if (!valid)
        return;
    QTEST(entry->name, "name");
    QTEST(entry->host, "host");
    QTEST(entry->time, "time");
    // What we write, we read back field for field.
    const auto again = LockEntry::parse(entry->serialize());
    QVERIFY(again);
    QCOMPARE(again->serialize(), entry->serialize());
    QVERIFY(again->sameHolder(*entry));
}

void TestFiles::lockLivesWhileOpen() {
    Fixture f;
    {
        EmbeddedHost host;
        host.open(f.path);
        const auto entry = LockEntry::parse(fileBytes(f.lock));
        QVERIFY(entry);
        QVERIFY(entry->sameHolder(ourEntry()));
        QCOMPARE(QDateTime::fromString(entry->time, "dd.MM.yyyy hh:mm").date(),
                 QDate::currentDate());
        host.quit();
        QVERIFY(!QFile::exists(f.lock));
        host.open(f.path);
        QVERIFY(QFile::exists(f.lock));
    }
    QVERIFY(!QFile::exists(f.lock));
}

void TestFiles::foreignLocksRefuse_data() {
    QTest::addColumn<QByteArray>("lock");
    QTest::addColumn<QStringList>("inMessage");
    const LockEntry ours = ourEntry();
    LockEntry office = ours;
    office.profile = QStringLiteral("file:///home/%1/.config/libreoffice/4").arg(ours.login);
    LockEntry otherPc = ours;
    otherPc.host = QStringLiteral("教研室电脑");
    QTest::newRow("another user")
        << QByteArray("Zhang San,zhangsan,pc-7,08.12.2026 15:30,file:///home/zhangsan/lo;")
        << QStringList{"Zhang San", "pc-7", "08.12.2026 15:30", ".~lock.Velmoravm2.1.xls#"};
    QTest::newRow("LibreOffice of the same user")
        << office.serialize() << QStringList{ours.login, "01.12.2026 08:05"};
    QTest::newRow("this program on another computer")
        << otherPc.serialize() << QStringList{"教研室电脑"};
    QTest::newRow("unreadable lock") << QByteArray("garbage") << QStringList{"正被另一个程序使用"};
}

void TestFiles::foreignLocksRefuse() {
    QFETCH(QByteArray, lock);
    QFETCH(QStringList, inMessage);
    Fixture f;
    writeBytes(f.lock, lock);
    EmbeddedHost host;
    try {
        host.open(f.path);
        QFAIL("a locked workbook was opened");
    } catch (const HostError& e) {
        for (const QString& part : inMessage)
            QVERIFY2(e.message().contains(part), qPrintable(e.message()));
    }
    QCOMPARE(fileBytes(f.lock), lock);
    QVERIFY_THROWS_EXCEPTION(HostError, host.read(layout::kArchiveSheet, "C2"));
}

void TestFiles::ownStaleLockIsTakenOver() {
    Fixture f;
    writeBytes(f.lock, ourEntry().serialize());
    EmbeddedHost host;
    host.open(f.path);
    QCOMPARE(host.read(layout::kArchiveSheet, "C2").toText(), QStringLiteral("张三"));
    QVERIFY(fileBytes(f.lock) != ourEntry().serialize());  // a fresh time
    host.quit();
    QVERIFY(!QFile::exists(f.lock));
}

void TestFiles::secondOpenWhileRunningRefused() {
    Fixture f;
    EmbeddedHost first;
    first.open(f.path);
    const QByteArray lock = fileBytes(f.lock);
    EmbeddedHost second;
    try {
        second.open(f.path);
        QFAIL("the workbook was opened twice");
    } catch (const HostError& e) {
        QVERIFY2(e.message().contains("正在运行"), qPrintable(e.message()));
    }
    QCOMPARE(fileBytes(f.lock), lock);
    first.writeRaw(layout::kArchiveSheet, "C2", "李四");
    first.save();
    QCOMPARE(readOne(f.path, "C2"), QStringLiteral("李四"));
}

void TestFiles::changedFileIsNotOverwritten() {
    Fixture f;
    EmbeddedHost host;
    host.open(f.path);
    host.writeRaw(layout::kArchiveSheet, "C3", "我们的修改");

    // Another program saves the file meanwhile.
    WorkbookContent theirs;
    theirs.sheets = {layout::kSettingsSheet, layout::kArchiveSheet};
    theirs.cells[layout::kArchiveSheet] = {{"C2", "别人的修改"}};
    writeWorkbook(f.path, theirs);
    const QByteArray theirBytes = fileBytes(f.path);

    try {
        host.save();
        QFAIL("a file changed on disk was overwritten");
    } catch (const HostError& e) {
        QVERIFY2(e.message().contains("已被其他程序修改"), qPrintable(e.message()));
        QCOMPARE(f.copies().size(), 1);
        QVERIFY2(e.message().contains(f.copies().first()), qPrintable(e.message()));
    }
    QCOMPARE(fileBytes(f.path), theirBytes);
    const QString copy = f.dir.filePath(f.copies().first());
    QCOMPARE(readOne(copy, "C3"), QStringLiteral("我们的修改"));
    QCOMPARE(readOne(copy, "C2"), QStringLiteral("张三"));
    QVERIFY(host.hasUnsavedChanges());

    // Later saves of this run keep refusing and bring the same copy up to date.
    host.writeRaw(layout::kArchiveSheet, "C4", "又一处修改");
    QVERIFY_THROWS_EXCEPTION(HostError, host.save());
    QCOMPARE(f.copies().size(), 1);
    QCOMPARE(readOne(copy, "C4"), QStringLiteral("又一处修改"));
    QCOMPARE(fileBytes(f.path), theirBytes);
}

void TestFiles::removedFileIsWrittenAnew() {
    Fixture f;
    EmbeddedHost host;
    host.open(f.path);
    host.writeRaw(layout::kArchiveSheet, "C3", "仍然保存");
    QVERIFY(QFile::remove(f.path));
    host.save();
    QCOMPARE(readOne(f.path, "C3"), QStringLiteral("仍然保存"));
    QVERIFY(f.copies().isEmpty());
    // The file now holds our bytes: the next save is an ordinary one.
    host.writeRaw(layout::kArchiveSheet, "C4", "再保存");
    host.save();
    QCOMPARE(readOne(f.path, "C4"), QStringLiteral("再保存"));
}

void TestFiles::templateInstalledOnFirstStart() {
    QTemporaryDir dir;
    const QString path = dir.filePath("data/velmora/system32/vm21/Velmoravm2.1.xls");
    installTemplateIfMissing(path);
    const QByteArray built = fileBytes(qEnvironmentVariable("VELMORA_TEMPLATE"));
    QVERIFY2(!built.isEmpty(), "the build leaves no template in share/");
    QCOMPARE(fileBytes(path), built);
    QVERIFY(QFileInfo(path).isWritable());
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
             QStringList{kFile});
    EmbeddedHost host;
    host.open(path);
    QCOMPARE(host.read(layout::kArchiveSheet, "A1").toText(), QStringLiteral("序号"));
}

void TestFiles::existingWorkbookNeverReplaced() {
    Fixture f;
    const QByteArray mine = fileBytes(f.path);
    installTemplateIfMissing(f.path);
    QCOMPARE(fileBytes(f.path), mine);
    writeBytes(f.path, "不是工作簿");
    installTemplateIfMissing(f.path);
    QCOMPARE(fileBytes(f.path), QByteArray("不是工作簿"));
}

// A workbook whose formulas' stored results are stale (as another program
// may leave them): opening it computes them for the windows, and leaves the
// file as it was while nothing is written.
void TestFiles::openingChangesNoWorkbook() {
    Fixture f;
    WorkbookContent content;
    content.sheets = {layout::kSettingsSheet, layout::kArchiveSheet};
    content.cells[layout::kArchiveSheet] = {{"C2", "张三"}};
    content.formulas[layout::kArchiveSheet] = {{"D2", "C2&\"同学\""}};
    writeWorkbook(f.path, content);
    // 张三 becomes 李四 in the shared strings (UTF-16, the first place the
    // characters occur), the stored result stays 张三同学.
    QByteArray bytes = fileBytes(f.path);
    const qsizetype at = bytes.indexOf(QByteArray("\x20\x5F\x09\x4E", 4));
    QVERIFY(at > 0);
    bytes.replace(at, 4, QByteArray("\x4E\x67\xDB\x56", 4));
    writeBytes(f.path, bytes);
    const xls::XlsWorkbook stale = xls::XlsWorkbook::load(f.path);
    QCOMPARE(stale.formulas(1).front().cached.toText(), QStringLiteral("张三同学"));

    installTemplateIfMissing(f.path);
    EmbeddedHost host;
    host.open(f.path);
    QCOMPARE(host.read(layout::kArchiveSheet, "D2").toText(), QStringLiteral("李四同学"));
    QVERIFY(!host.hasUnsavedChanges());
    host.quit();
    QCOMPARE(fileBytes(f.path), bytes);
}

QTEST_MAIN(TestFiles)
#include "test_files.moc"
