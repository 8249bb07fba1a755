// Daily backups of the workbook as the embedded host's saves make them, on
// days a test clock sets, and a backup opened read-only and restored from the
// sheet window.
#include "common/messages.h"
#include "fixtures.h"
#include "workbook/backups.h"
#include "workbook/embedded/backupwindow.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/sheetwindow.h"
#include "workbook/layout.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::test;

namespace {

const QString kCard = layout::kArchiveSheet;

QDate day(int n) {
    return QDate(2024, 3, 1).addDays(n - 1);
}

void setDay(int n) {
    backups::setClock([n] { return QDateTime(day(n), QTime(9, 30)); });
}

QStringList backupFiles(const QString& workbook) {
    return QDir(backups::folder(workbook)).entryList(QDir::Files, QDir::Name);
}

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Velmoravm2.1.xls"));
    EmbeddedHost host;
    Fixture() {
        WorkbookContent content;
        content.sheets = {layout::kSettingsSheet, kCard};
        content.cells[kCard] = {{"A1", "序号"}, {"C2", "张三"}};
        writeWorkbook(path, content);
        host.setSaveQuestion([] { return SaveAnswer::Discard; });
        host.open(path);
    }
    ~Fixture() { backups::setClock({}); }
    void saveOn(int n, const QString& text) {
        setDay(n);
        host.writeRaw(kCard, "C2", text);
        host.save();
    }
    SheetWindow* sheetWindow() {
        host.show();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* sheets = qobject_cast<SheetWindow*>(w); sheets && sheets->isVisible())
                return sheets;
        return nullptr;
    }
};

QString cardCellIn(const QString& file) {
    EmbeddedHost reader;
    reader.open(file);
    return reader.read(kCard, "C2").toText();
}

}  // namespace

class TestBackups : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void oneBackupADayForThirtyDays();
    void backupIsReadOnly();
    void restore_data();
    void restore();
};

// Each day's first save keeps the file as the previous day left it; later
// saves of the day keep nothing more; the 31st day removes the oldest.
void TestBackups::oneBackupADayForThirtyDays() {
    Fixture f;
    const QByteArray original = fileBytes(f.path);
    f.saveOn(1, "第1天");
    f.saveOn(1, "第1天下午");
    f.saveOn(2, "第2天");
    f.saveOn(3, "第3天");
    QCOMPARE(backupFiles(f.path).size(), 3);
    QCOMPARE(fileBytes(backups::dailyPath(f.path, day(1))), original);
    QCOMPARE(cardCellIn(backups::dailyPath(f.path, day(2))), QStringLiteral("第1天下午"));
    QCOMPARE(cardCellIn(backups::dailyPath(f.path, day(3))), QStringLiteral("第2天"));

    for (int n = 4; n <= 30; ++n)
        f.saveOn(n, QStringLiteral("第%1天").arg(n));
    QCOMPARE(backupFiles(f.path).size(), 30);
    f.saveOn(31, "第31天");
    const QStringList kept = backupFiles(f.path);
    QCOMPARE(kept.size(), 30);
    QCOMPARE(kept.first(), QFileInfo(backups::dailyPath(f.path, day(2))).fileName());
    QCOMPARE(kept.last(), QFileInfo(backups::dailyPath(f.path, day(31))).fileName());
}

// Typing, Delete and pasting change nothing; cells can be copied.
void TestBackups::backupIsReadOnly() {
    Fixture f;
    f.saveOn(1, "第1天");
    const QString backup = backups::dailyPath(f.path, day(1));
    const QByteArray before = fileBytes(backup);
    BackupWindow* window = f.sheetWindow()->openBackup(backup);
    QVERIFY(window);
    window->show();
    window->findChild<QTabWidget*>()->setCurrentIndex(1);
    SheetView* card = window->view(1);
    QVERIFY(card);
    card->setFocus();
    card->setCurrentIndex(card->model()->index(1, 2));
    QTest::keyClicks(card, "xyz");
    QTest::keyClick(card, Qt::Key_Return);
    QTest::keyClick(card, Qt::Key_Delete);
    card->setCurrentIndex(card->model()->index(1, 2));
    QCOMPARE(card->model()->index(1, 2).data().toString(), QStringLiteral("张三"));
    window->copy();
    QCOMPARE(QApplication::clipboard()->text().trimmed(), QStringLiteral("张三"));
    QVERIFY(!(card->model()->flags(card->model()->index(1, 2)) & Qt::ItemIsEditable));
    QCOMPARE(fileBytes(backup), before);
    window->close();
}

void TestBackups::restore_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("workbookAfter");
    QTest::addColumn<QString>("keptHolds");  // empty: nothing kept
    using Choice = BackupWindow::Choice;
    QTest::newRow("取消") << int(Choice::Cancel) << "未保存" << "";
    QTest::newRow("不保存，直接恢复") << int(Choice::Restore) << "张三" << "第2天";
    QTest::newRow("保存后恢复") << int(Choice::SaveThenRestore) << "张三" << "未保存";
}

// The day-1 backup holds the original workbook; restoring it replaces the
// workbook after the question, keeps the replaced file as a backup, and the
// open workbook reloads from it.
void TestBackups::restore() {
    QFETCH(int, choice);
    QFETCH(QString, keptHolds);
    Fixture f;
    MessageRecorder messages;
    f.saveOn(1, "第1天");
    f.saveOn(2, "第2天");
    f.host.writeRaw(kCard, "C2", "未保存");
    bool offeredSave = false;
    BackupWindow::setQuestion([&](QWidget*, const QString&, bool unsaved) {
        offeredSave = unsaved;
        return BackupWindow::Choice(choice);
    });
    const QString backup = backups::dailyPath(f.path, day(1));
    BackupWindow* window = f.sheetWindow()->openBackup(backup);
    QVERIFY(window);
    window->restoreBackup();
    BackupWindow::setQuestion({});
    QVERIFY(offeredSave);

    QTEST(f.host.read(kCard, "C2").toText(), "workbookAfter");
    const QStringList kept =
        QDir(backups::folder(f.path)).entryList({QStringLiteral("*恢复前*")}, QDir::Files);
    if (keptHolds.isEmpty()) {
        QVERIFY(kept.isEmpty());
        QVERIFY(f.host.hasUnsavedChanges());
        return;
    }
    QCOMPARE(fileBytes(f.path), fileBytes(backup));
    QVERIFY(!f.host.hasUnsavedChanges());
    QCOMPARE(kept.size(), 1);
    QCOMPARE(cardCellIn(QDir(backups::folder(f.path)).filePath(kept[0])), keptHolds);
    QCOMPARE(messages.texts().size(), 1);
    QVERIFY(messages.texts()[0].contains(kept[0]));
}

QTEST_MAIN(TestBackups)
#include "test_backups.moc"
