// How the run ends on a signal or at the end of the desktop session: what is
// asked, saved or kept in the conflict copy (with a host in memory), and
// SIGTERM, SIGHUP and SIGINT sent to a running program under each host.
#include "app/sessionend.h"
#include "memoryhost.h"
#include "saver/screensaver.h"
#include "workbook/connection.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"
#include "workbook/templateinstall.h"
#include "workbook/workbooklock.h"

#ifdef VELMORA_HAVE_LOHOST
#include "officeprocesses.h"
#include "workbook/libreoffice/libreofficehost.h"
#endif

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace velmora;
using namespace velmora::test;

namespace {

class EndingHost : public MemoryHost {
public:
    EndingHost() : MemoryHost({layout::kSettingsSheet}) {}
    void save() override {
        if (saveFails)
            throw HostError(QStringLiteral("磁盘已满"));
        MemoryHost::save();
    }
    bool saveFails = false;
};

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestEndRun : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void endRunKeepsEdits_data();
    void endRunKeepsEdits();
    void signalsKeepEditsInCopy_data();
    void signalsKeepEditsInCopy();
};

void TestEndRun::endRunKeepsEdits_data() {
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<bool>("interaction");
    QTest::addColumn<SaveAnswer>("answer");
    QTest::addColumn<bool>("saveFails");
    QTest::addColumn<bool>("saverShown");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("saves");
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("status");
    const SaveAnswer save = SaveAnswer::Save;
    QTest::newRow("nothing unsaved") << false << true << save << false << false << false << 0 << 0 << 0;
    QTest::newRow("signal") << true << false << save << false << false << false << 0 << 1 << 0;
    QTest::newRow("asked: 保存") << true << true << save << false << false << true << 1 << 0 << 0;
    QTest::newRow("asked: 不保存")
        << true << true << SaveAnswer::Discard << false << false << true << 0 << 0 << 0;
    QTest::newRow("asked: 取消, the run ends anyway")
        << true << true << SaveAnswer::Cancel << false << false << true << 0 << 1 << 0;
    QTest::newRow("save fails") << true << true << save << true << false << true << 0 << 1 << 0;
    QTest::newRow("saver holds the screen")
        << true << true << save << false << true << false << 0 << 1 << 0;
}

void TestEndRun::endRunKeepsEdits() {
    QFETCH(bool, unsaved);
    QFETCH(bool, interaction);
    QFETCH(SaveAnswer, answer);
    QFETCH(bool, saveFails);
    QFETCH(bool, saverShown);
    auto owned = std::make_unique<EndingHost>();
    EndingHost* host = owned.get();
    host->unsaved = unsaved;
    host->saveFails = saveFails;
    StudentWorkbook::adopt(std::move(owned), QStringLiteral("/t/Velmoravm2.1.xls"));
    std::unique_ptr<saver::ScreenSaver> saver;
    if (saverShown) {
        saver = std::make_unique<saver::ScreenSaver>();
        saver->show();
    }
    bool asked = false;
    const int status = endRun([&] { return interaction; },
                              [&] {
                                  asked = true;
                                  return answer;
                              },
                              QDateTime(QDate(2024, 5, 3), QTime(10, 15)));
    QTEST(asked, "asked");
    QTEST(host->saves, "saves");
    QTEST(int(host->copies.size()), "copies");
    if (!host->copies.isEmpty())
        QCOMPARE(host->copies[0], QStringLiteral("/t/Velmoravm2.1 (未保存的修改 2024-05-03 1015).xls"));
    QTEST(status, "status");
    QVERIFY(host->abandoned);
    QVERIFY(!StudentWorkbook::isOpen());
    delete host;  // let go of by abandon, as the process would end now
}

void TestEndRun::signalsKeepEditsInCopy_data() {
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("tries");
    QTest::newRow("embedded SIGTERM") << "embedded" << SIGTERM << 10;
    QTest::newRow("embedded SIGHUP") << "embedded" << SIGHUP << 1;
    QTest::newRow("embedded SIGINT") << "embedded" << SIGINT << 1;
#ifdef VELMORA_HAVE_LOHOST
    if (LibreOfficeHost::unavailableReason(LibreOfficeHost::Mode::Headless).isEmpty()) {
        QTest::newRow("libreoffice SIGTERM") << "libreoffice" << SIGTERM << 10;
        QTest::newRow("libreoffice SIGHUP") << "libreoffice" << SIGHUP << 1;
    }
#endif
}

// Each try: a fresh workbook, an unsaved edit, the signal. The edit is in
// the conflict copy, the workbook file is byte for byte as before, the lock
// is gone and (LibreOffice) no office is left running.
void TestEndRun::signalsKeepEditsInCopy() {
    QFETCH(QString, host);
    QFETCH(int, signal);
    QFETCH(int, tries);
    for (int attempt = 0; attempt < tries; ++attempt) {
        const QString marker = QStringLiteral("未保存的校名 %1").arg(attempt);
        QTemporaryDir dir;
        const QString workbook = dir.filePath(QStringLiteral("Velmoravm2.1.xls"));
        installTemplateIfMissing(workbook);
        const QByteArray before = contentOf(workbook);

        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run.start(QCoreApplication::applicationDirPath() + QStringLiteral("/velmora_endsignal_driver"),
                  {host, workbook, marker});
        QVERIFY(run.waitForReadyRead(120000));
        QCOMPARE(run.readLine().trimmed(), QByteArray("ready"));
        ::kill(pid_t(run.processId()), signal);
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.exitCode(), 0);

        QCOMPARE(contentOf(workbook), before);
        const QStringList copies = QDir(dir.path()).entryList(
            {QStringLiteral("Velmoravm2.1 (未保存的修改 *).xls")}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        EmbeddedHost copy;
        copy.open(dir.filePath(copies[0]));
        QCOMPARE(copy.read(layout::kSettingsSheet, QStringLiteral("C4")).toText(), marker);
        QVERIFY(!QFile::exists(WorkbookLock::lockPathFor(workbook)));
#ifdef VELMORA_HAVE_LOHOST
        QCOMPARE(officeProcesses(), QStringList());
#endif
    }
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program's own name, so that its office profile is the one looked at.
    QApplication::setApplicationName(QStringLiteral("velmora"));
    TestEndRun test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_endrun.moc"
