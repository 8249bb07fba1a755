// What the LibreOffice host does about its office beyond the host contract:
// the office killed mid-run or the workbook's window closed in it (the
// workbook is opened again and the operation carried out), a change
// Calc does not carry out, an office left behind by a run that crashed, a
// second host on the same profile, the sheet a select makes active, a
// non-ASCII path under a locale that is not UTF-8, and the environment and
// records the office runs with.
#include "common/messages.h"
#include "fixtures.h"
#include "officeprocesses.h"
#include "testedhost.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"
#include "workbook/libreoffice/libreofficehost.h"
#include "workbook/libreoffice/officeprocess.h"
#include "workbook/libreoffice/staleoffice.h"
#include "workbook/libreoffice/unoconnection.h"
#include "xlrdtexts.h"

#include "workbook/libreoffice/unostring.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XProtectable.hpp>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <cstdio>

using namespace velmora;
using namespace velmora::test;
using Mode = LibreOfficeHost::Mode;

namespace {

const QString kArchive = layout::kArchiveSheet;
const QString kNotebook = layout::kNotebookSheet;
const char* const kChildVariable = "VELMORA_LOHOST_CHILD";

struct Fixture {
    QTemporaryDir dir;
    QString path;
    explicit Fixture(const QString& folder = QString()) {
        QDir().mkpath(dir.filePath(folder));
        path = dir.filePath(folder.isEmpty() ? QStringLiteral("Velmoravm2.1.xls")
                                             : folder + QStringLiteral("/Velmoravm2.1.xls"));
        WorkbookContent content;
        content.sheets = {layout::kSettingsSheet, kArchive, kNotebook};
        content.cells[kArchive] = {{"C2", "张三"}};
        writeWorkbook(path, content);
    }
};

namespace css = com::sun::star;

// The office as the teacher sees it, over a connection of the test's own.
// The connection is kept for the view's lifetime (every office object reached
// through it needs it) and must end while the office still runs: the office's
// references can throw when released over a dead connection.
struct OfficeView {
    explicit OfficeView(const QString& pipe)
        : office(office::connectOffice(
              QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe), 10000,
              [](int ms) {
                  QThread::msleep(ms);
                  return true;
              })) {}

    css::uno::Reference<css::frame::XModel> workbook() const {
        if (!office.is())
            return {};
        const auto documents =
            office::officeDesktop(office)->getComponents()->createEnumeration();
        return documents->hasMoreElements() ? css::uno::Reference<css::frame::XModel>(
                                                  documents->nextElement(), css::uno::UNO_QUERY)
                                            : css::uno::Reference<css::frame::XModel>();
    }

    QString activeSheet() const {
        const auto book = workbook();
        if (!book.is())
            return QString();
        const css::uno::Reference<css::sheet::XSpreadsheetView> view(book->getCurrentController(),
                                                                     css::uno::UNO_QUERY_THROW);
        return office::toQString(css::uno::Reference<css::container::XNamed>(
                                     view->getActiveSheet(), css::uno::UNO_QUERY_THROW)
                                     ->getName());
    }

    const css::uno::Reference<css::uno::XComponentContext> office;
};

// A run of the program that crashes: it opens the workbook, maybe changes a
// cell, prints the office's pipe and ends without ending anything.
int crashingRun(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList job = qEnvironmentVariable(kChildVariable).split(u'|');
    auto* host = new LibreOfficeHost(Mode::Headless);
    host->open(job.at(0));
    if (job.value(1) == QLatin1String("change"))
        host->writeRaw(kArchive, "C2", QStringLiteral("王五"));
    std::printf("%s\n", qPrintable(host->pipeName()));
    std::fflush(stdout);
    std::_Exit(0);
}

QString runCrashingRun(const QString& path, bool change) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kChildVariable), path + (change ? "|change" : "|keep"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath());
    child.waitForFinished(120000);
    return QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
}

bool processesWith(const QString& pipe) {
    return !officeProcesses().filter(pipe).isEmpty();
}

}  // namespace

class TestLibreOfficeHost : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void officeKilled_data();
    void officeKilled();
    void workbookWindowClosed();
    void clearingRefusedByCalcIsReported();
    void crashedRun_data();
    void crashedRun();
    void secondHostOnTheSameProfile();
    void selectActivatesTheSheet();
    void nonAsciiPathWithoutUtf8Locale();
    void officeEnvironment_data();
    void officeEnvironment();
    void officeRecords_data();
    void officeRecords();
};

void TestLibreOfficeHost::initTestCase() {
    const QString why = LibreOfficeHost::unavailableReason(Mode::Headless);
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
}

void TestLibreOfficeHost::cleanup() {
    const QStringList left = officeProcesses();
    killOfficeProcesses();
    QCOMPARE(left, QStringList());
}

void TestLibreOfficeHost::officeKilled_data() {
    QTest::addColumn<QString>("operation");
    for (const char* op : {"read", "writeRaw", "write", "select", "show", "save"})
        QTest::newRow(op) << QString::fromLatin1(op);
}

// The office killed (Calc crashed or was ended): the next operation starts
// a fresh office, opens the workbook from its file and is carried out there;
// the teacher is told once, and what was never saved is gone.
void TestLibreOfficeHost::officeKilled() {
    QFETCH(QString, operation);
    Fixture f;
    MessageRecorder notices;
    LibreOfficeHost host(Mode::Headless);
    host.open(f.path);
    const QMap<QString, std::function<void()>> operations{
        {"read", [&] { QCOMPARE(host.read(kArchive, "C2").toText(), QStringLiteral("张三")); }},
        {"writeRaw", [&] { host.writeRaw(kArchive, "C2", "王五"); }},
        {"write", [&] { host.write(kArchive, "C2", "12"); }},
        {"select", [&] { host.select(kNotebook); }},
        {"show", [&] { host.show(); }},
        {"save", [&] { host.save(); }}};
    host.writeRaw(kArchive, "C3", "没保存");
    const qint64 killed = host.officeProcessId();
    ::kill(-pid_t(killed), SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 10000);

    QCOMPARE(messageOf(operations.value(operation)), QStringLiteral("(no error)"));
    QVERIFY(host.officeProcessId() != killed);
    QCOMPARE(notices.messages().size(), 1);
    QCOMPARE(notices.messages().first().title, kNoticeTitle);
    QVERIFY2(notices.texts().first().contains(QStringLiteral("重新打开")) &&
                 notices.texts().first().contains(QStringLiteral("没有保存的修改已经丢失")),
             qPrintable(notices.texts().first()));
    QCOMPARE(host.read(kArchive, "C3").toText(), QString());
    // A record stored now reaches the file.
    host.writeRaw(kArchive, "C4", "李四");
    host.save();
    QCOMPARE(notices.messages().size(), 1);
    QVERIFY(host.quit());
    const auto reading = xlrdReading(f.path);
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    QCOMPARE(reading->texts[kArchive].value("C4"), QStringLiteral("李四"));
}

// The teacher closed the workbook's window and the office runs on: the
// workbook is opened in it again for the next operation, which is carried
// out there; no write is lost quietly.
void TestLibreOfficeHost::workbookWindowClosed() {
    Fixture f;
    MessageRecorder notices;
    LibreOfficeHost host(Mode::Headless);
    host.open(f.path);
    const qint64 office = host.officeProcessId();
    {
        // The teacher closes the workbook's window (Ctrl+W).
        const OfficeView view(host.pipeName());
        const auto workbook = view.workbook();
        QVERIFY(workbook.is());
        css::uno::Reference<css::util::XCloseable>(workbook, css::uno::UNO_QUERY_THROW)
            ->close(true);
    }
    host.writeRaw(kArchive, "C2", "王五");
    QCOMPARE(host.officeProcessId(), office);
    QCOMPARE(notices.messages().size(), 1);
    QCOMPARE(host.read(kArchive, "C2").toText(), QStringLiteral("王五"));
    host.save();
    QVERIFY(host.quit());
    QCOMPARE(notices.messages().size(), 1);
    const auto reading = xlrdReading(f.path);
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    QCOMPARE(reading->texts[kArchive].value("C2"), QStringLiteral("王五"));
}

// Calc takes text and numbers into a protected sheet, but lets the clearing
// of a cell there pass without effect: the host notices and refuses, so no
// window believes a change was made that was not.
void TestLibreOfficeHost::clearingRefusedByCalcIsReported() {
    Fixture f;
    LibreOfficeHost host(Mode::Headless);
    host.open(f.path);
    {
        const OfficeView office(host.pipeName());
        const css::uno::Reference<css::sheet::XSpreadsheetDocument> workbook(
            office.workbook(), css::uno::UNO_QUERY_THROW);
        css::uno::Reference<css::util::XProtectable>(
            workbook->getSheets()->getByName(office::toOUString(kArchive)),
            css::uno::UNO_QUERY_THROW)
            ->protect(rtl::OUString());
    }
    host.writeRaw(kArchive, "C2", "王五");
    QCOMPARE(host.read(kArchive, "C2").toText(), QStringLiteral("王五"));
    for (const auto& clear : std::initializer_list<std::function<void()>>{
             [&] { host.writeRaw(kArchive, "C2", ""); }, [&] { host.write(kArchive, "C2", ""); }}) {
        const QString message = messageOf(clear);
        QVERIFY2(message.contains(QStringLiteral("没有写入")), qPrintable(message));
    }
    QCOMPARE(host.read(kArchive, "C2").toText(), QStringLiteral("王五"));
    host.setSaveQuestion([] { return SaveAnswer::Discard; });
    host.quit();
}

void TestLibreOfficeHost::crashedRun_data() {
    QTest::addColumn<bool>("change");
    QTest::newRow("nothing unsaved") << false;
    QTest::newRow("unsaved change") << true;
}

// The office a crashed run left behind is found at the next start: ended
// when it holds nothing unsaved (its lock on the workbook taken over), kept
// for the teacher to save otherwise.
void TestLibreOfficeHost::crashedRun() {
    QFETCH(bool, change);
    Fixture f;
    const QString pipe = runCrashingRun(f.path, change);
    QVERIFY2(pipe.startsWith(QLatin1String("velmora-")), qPrintable(pipe));
    QVERIFY(processesWith(pipe));

    LibreOfficeHost host(Mode::Headless);
    const QString message = messageOf([&] { host.open(f.path); });
    if (change) {
        QVERIFY2(message.contains(QStringLiteral("没有保存的修改")), qPrintable(message));
        QVERIFY(processesWith(pipe));
        killOfficeProcesses();
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 10000);
        return;
    }
    QCOMPARE(message, QStringLiteral("(no error)"));
    QVERIFY(!processesWith(pipe));
    QCOMPARE(host.read(kArchive, "C2").toText(), QStringLiteral("张三"));
    host.quit();
}

void TestLibreOfficeHost::secondHostOnTheSameProfile() {
    Fixture first;
    Fixture second;
    LibreOfficeHost running(Mode::Headless);
    running.open(first.path);
    {
        LibreOfficeHost another(Mode::Headless);
        const QString message = messageOf([&] { another.open(second.path); });
        QVERIFY2(message.contains(QStringLiteral("另一个")), qPrintable(message));
    }
    QCOMPARE(running.read(kArchive, "C2").toText(), QStringLiteral("张三"));
    running.quit();
}

// The workbook opens on its first sheet, the front page, whichever sheet the
// file remembers; select makes the named sheet the active one.
void TestLibreOfficeHost::selectActivatesTheSheet() {
    Fixture f;
    LibreOfficeHost host(Mode::Headless);
    host.open(f.path);
    {
        const OfficeView office(host.pipeName());
        QCOMPARE(office.activeSheet(), layout::kSettingsSheet);
        for (const QString& sheet : {kNotebook, layout::kSettingsSheet, kArchive}) {
            host.select(sheet);
            QCOMPARE(office.activeSheet(), sheet);
        }
    }
    QVERIFY(!host.hasUnsavedChanges());
    host.quit();
}

// The office fails on non-ASCII paths unless its character type is UTF-8.
void TestLibreOfficeHost::nonAsciiPathWithoutUtf8Locale() {
    Fixture f(QStringLiteral("初三（6）班 资料"));
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", "C");
    LibreOfficeHost host(Mode::Headless);
    const QString message = messageOf([&] { host.open(f.path); });
    qputenv("LC_ALL", saved);
    QCOMPARE(message, QStringLiteral("(no error)"));
    host.writeRaw(kArchive, "C3", "李四");
    host.save();
    host.quit();
    const auto reading = xlrdReading(f.path);
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    QCOMPARE(reading->texts[kArchive].value("C3"), QStringLiteral("李四"));
}

void TestLibreOfficeHost::officeEnvironment_data() {
    QTest::addColumn<QStringList>("before");  // LC_ALL, LC_CTYPE, LANG ("" unset)
    QTest::addColumn<QStringList>("after");
    QTest::newRow("UTF-8 language")
        << QStringList{"", "", "zh_CN.UTF-8"} << QStringList{"", "", "zh_CN.UTF-8"};
    QTest::newRow("utf8 spelling")
        << QStringList{"", "zh_CN.utf8", "C"} << QStringList{"", "zh_CN.utf8", "C"};
    QTest::newRow("GBK language") << QStringList{"", "", "zh_CN.GBK"}
                                  << QStringList{"", "C.UTF-8", "zh_CN.GBK"};
    QTest::newRow("nothing set") << QStringList{"", "", ""} << QStringList{"", "C.UTF-8", ""};
    QTest::newRow("LC_ALL=C over UTF-8")
        << QStringList{"C", "", "zh_CN.UTF-8"} << QStringList{"", "C.UTF-8", "C"};
    QTest::newRow("LC_ALL UTF-8") << QStringList{"C.UTF-8", "", "C"}
                                  << QStringList{"C.UTF-8", "", "C"};
}

void TestLibreOfficeHost::officeEnvironment() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    const QStringList names{"LC_ALL", "LC_CTYPE", "LANG"};
    QProcessEnvironment env;
    env.insert("HOME", "/home/teacher");
    for (int i = 0; i < names.size(); ++i)
        if (!before.at(i).isEmpty())
            env.insert(names.at(i), before.at(i));
    const QProcessEnvironment office = office::officeEnvironment(env);
    QStringList got;
    for (const QString& name : names) got << office.value(name);
    QCOMPARE(got, after);
    QCOMPARE(office.value("SAL_ENABLE_FILE_LOCKING"), QStringLiteral("1"));
    QCOMPARE(office.value("HOME"), QStringLiteral("/home/teacher"));
}

void TestLibreOfficeHost::officeRecords_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("valid");
    QTest::newRow("as written") << office::OfficeRecord{12, 345, "velmora-12-ab"}.serialize()
                                << true;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("no pipe") << QByteArray("12\n345\n\n") << false;
    QTest::newRow("not numbers") << QByteArray("x\n345\nvelmora-1\n") << false;
    QTest::newRow("negative process") << QByteArray("12\n-1\nvelmora-1\n") << false;
    QTest::newRow("cut short") << QByteArray("12\n345") << false;
}

void TestLibreOfficeHost::officeRecords() {
    QFETCH(QByteArray, content);
    QFETCH(bool, valid);
    const auto record = office::OfficeRecord::parse(content);
    QCOMPARE(record.has_value(), valid);
    if (valid)
        QCOMPARE(record->serialize(), content);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(kChildVariable))
        return crashingRun(argc, argv);
    QApplication app(argc, argv);
    TestLibreOfficeHost test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_lohost.moc"
