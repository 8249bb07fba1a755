// What a save of the embedded host that fails at any step leaves behind: the
// file as it was and the changes still held. Reads, writes, errors and
// quitting are the shared host contract (tests/hostcontract).
#include "fixtures.h"
#include "workbook/atomicfile.h"
#include "workbook/backups.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString kFile = QStringLiteral("Velmoravm2.1.xls");

// A small class workbook: the card sheet with one student.
WorkbookContent classContent() {
    WorkbookContent content;
    content.sheets = {layout::kSettingsSheet, layout::kArchiveSheet};
    content.cells[layout::kArchiveSheet] = {{"A1", "序号"}, {"A2", "1"}, {"C2", "张三"}};
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

class TestSave : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { setAtomicWriteProbe({}); }
    void failingSaveLeavesTheFile_data();
    void failingSaveLeavesTheFile();
};

void TestSave::failingSaveLeavesTheFile_data() {
    QTest::addColumn<QByteArray>("step");
    for (const char* step : {"open", "write", "flush", "rename"})
        QTest::newRow(step) << QByteArray(step);
}

void TestSave::failingSaveLeavesTheFile() {
    QFETCH(QByteArray, step);
    Fixture f;
    const QByteArray before = fileBytes(f.path);
    EmbeddedHost host;
    host.open(f.path);
    host.writeRaw(layout::kArchiveSheet, "C3", "李四");
    backups::beforeSave(f.path);  // the day's backup is made: the save's own write fails
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

QTEST_MAIN(TestSave)
#include "test_save.moc"
