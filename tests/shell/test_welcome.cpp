// The welcome window: hand-over to the launcher, start-up failures, the two
// links, closing it before anything is opened, and its captions.
#include "common/fonts.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "common/xpbutton.h"
#include "memoryhost.h"
#include "shell/launcher.h"
#include "shell/makerinfo.h"
#include "shell/welcomewindow.h"
#include "urlcatcher.h"
#include "workbook/connection.h"
#include "workbook/hosterror.h"

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <stdexcept>

using namespace velmora;

namespace {
const QString kPath = QStringLiteral("/tmp/velmora-welcome/vm21/Velmoravm2.1.xls");

// What the welcome window asked of its host, and whether a launcher was up
// at that moment.
struct Journal {
    QStringList steps;
    bool launcherSeen = false;
    int hostsMade = 0;
    QString failAt;  // "factory", "factory-std", "open" or "show"
    QString reason;
};

class ProbeHost : public test::MemoryHost {
public:
    explicit ProbeHost(Journal& journal) : MemoryHost({}), journal_(journal) {}
    void open(const QString& path) override {
        step(QStringLiteral("open ") + path, QStringLiteral("open"));
        MemoryHost::open(path);
    }
    void show() override {
        step(QStringLiteral("show"), QStringLiteral("show"));
        MemoryHost::show();
    }

private:
    void step(const QString& line, const QString& name) {
        journal_.steps << line;
        journal_.launcherSeen |= existingWindow<Launcher>() != nullptr;
        if (journal_.failAt == name)
            throw HostError(journal_.reason);
    }
    Journal& journal_;
};

QPointer<WelcomeWindow> openWelcome(Journal& journal) {
    auto* welcome = new WelcomeWindow(
        [&journal]() -> std::unique_ptr<SpreadsheetHost> {
            ++journal.hostsMade;
            if (journal.failAt == QStringLiteral("factory"))
                throw HostError(journal.reason);
            if (journal.failAt == QStringLiteral("factory-std"))
                throw std::runtime_error(journal.reason.toStdString());
            return std::make_unique<ProbeHost>(journal);
        },
        kPath);
    welcome->show();
    return welcome;
}

void pressConfirm(WelcomeWindow* welcome) {
    QTest::mouseClick(welcome->findChild<XPButton*>(QStringLiteral("Button1")), Qt::LeftButton);
}
}  // namespace

class TestWelcome : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }
    void cleanup();
    void confirmOpensThenHandsOver();
    void failedStartLeavesOnlyTheWelcome_data();
    void failedStartLeavesOnlyTheWelcome();
    void linksOpenWithoutStarting_data();
    void linksOpenWithoutStarting();
    void closingTheWelcomeEndsTheProgram();
    void captionsAreNotClipped();
};

void TestWelcome::cleanup() {
    if (Launcher* launcher = existingWindow<Launcher>())
        delete launcher;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<WelcomeWindow*>(w))
            delete w;
    StudentWorkbook::close();
    QGuiApplication::setQuitOnLastWindowClosed(true);
}

void TestWelcome::confirmOpensThenHandsOver() {
    Journal journal;
    MessageRecorder recorder;
    QPointer<WelcomeWindow> welcome = openWelcome(journal);
    QCOMPARE(welcome->windowTitle(), QStringLiteral("欢迎使用"));
    pressConfirm(welcome);

    QCOMPARE(journal.steps, (QStringList{QStringLiteral("open ") + kPath, QStringLiteral("show")}));
    QVERIFY(!journal.launcherSeen);  // the launcher only after open and show
    QVERIFY(recorder.messages().isEmpty());
    QVERIFY(StudentWorkbook::isOpen());
    Launcher* launcher = existingWindow<Launcher>();
    QVERIFY(launcher && launcher->isVisible());
    QTRY_VERIFY(welcome.isNull());  // unloaded, never shown again
    QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
}

void TestWelcome::failedStartLeavesOnlyTheWelcome_data() {
    QTest::addColumn<QString>("failAt");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no folder for the workbook") << "factory"
                                                << "无法建立文件夹。";
    QTest::newRow("disk failure") << "factory-std"
                                  << "Input/output error";
    QTest::newRow("workbook locked") << "open"
                                     << "工作簿已被另一个程序锁定。";
    QTest::newRow("damaged, the reason names the file")
        << "open"
        << QStringLiteral("工作簿文件“%1”无法打开。").arg(QDir::toNativeSeparators(kPath));
    QTest::newRow("window cannot be shown") << "show"
                                            << "无法显示工作簿窗口。";
}

void TestWelcome::failedStartLeavesOnlyTheWelcome() {
    QFETCH(QString, failAt);
    QFETCH(QString, reason);
    Journal journal;
    journal.failAt = failAt;
    journal.reason = reason;
    MessageRecorder recorder;
    QPointer<WelcomeWindow> welcome = openWelcome(journal);
    pressConfirm(welcome);

    QCOMPARE(recorder.messages().size(), 1);
    const QString text = recorder.messages().first().text;
    QVERIFY2(text.contains(reason), qPrintable(text));
    QCOMPARE(text.count(QDir::toNativeSeparators(kPath)), 1);  // where the workbook is, once
    QVERIFY(!StudentWorkbook::isOpen());
    QCOMPARE(existingWindow<Launcher>(), nullptr);
    QVERIFY(welcome && welcome->isVisible());
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());

    // Once the cause is gone, the same window starts the run.
    journal.failAt.clear();
    journal.steps.clear();
    pressConfirm(welcome);
    QCOMPARE(journal.hostsMade, 2);
    QCOMPARE(journal.steps.last(), QStringLiteral("show"));
    QVERIFY(existingWindow<Launcher>());
    QTRY_VERIFY(welcome.isNull());
}

void TestWelcome::linksOpenWithoutStarting_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("target");
    QTest::newRow("home page") << "Label1"
                               << "https" << maker::kHomePageLink;
    QTest::newRow("e-mail") << "Label6"
                            << "mailto" << maker::kEmailLink;
}

void TestWelcome::linksOpenWithoutStarting() {
    QFETCH(QString, label);
    QFETCH(QString, scheme);
    QFETCH(QString, target);
    test::UrlCatcher links;
    Journal journal;
    QPointer<WelcomeWindow> welcome = openWelcome(journal);
    QTest::mouseClick(welcome->findChild<QLabel*>(label), Qt::LeftButton);
    QCOMPARE(links.opened.size(), 1);
    QCOMPARE(links.opened.first().scheme(), scheme);
    QCOMPARE(links.opened.first(), QUrl(target));
    QCOMPARE(journal.hostsMade, 0);
    QVERIFY(welcome->isVisible());
    QCOMPARE(existingWindow<Launcher>(), nullptr);
}

void TestWelcome::closingTheWelcomeEndsTheProgram() {
    Journal journal;
    QPointer<WelcomeWindow> welcome = openWelcome(journal);
    QTimer::singleShot(0, welcome, [welcome] { welcome->close(); });
    QTimer deadline;  // ends the loop only if closing did not; dies with the test
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    deadline.start(100);
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(journal.hostsMade, 0);
    QCOMPARE(existingWindow<Launcher>(), nullptr);
}

void TestWelcome::captionsAreNotClipped() {
    Journal journal;
    QPointer<WelcomeWindow> welcome = openWelcome(journal);
    QCOMPARE(welcome->size(), QSize(384, 284));
    const QRect client = welcome->rect();
    for (XPButton* b : welcome->findChildren<XPButton*>()) {
        const QFontMetrics fm(b->font());
        QVERIFY2(fm.horizontalAdvance(b->text()) + 4 <= b->width(), qPrintable(b->objectName()));
        QVERIFY2(fm.height() <= b->height(), qPrintable(b->objectName()));
        QVERIFY2(client.contains(b->geometry()), qPrintable(b->objectName()));
    }
    for (QLabel* l : welcome->findChildren<QLabel*>()) {
        const QFontMetrics fm(l->font());
        QVERIFY2(fm.horizontalAdvance(l->text()) <= l->width(), qPrintable(l->objectName()));
        QVERIFY2(fm.height() <= l->height(), qPrintable(l->objectName()));
        QVERIFY2(client.contains(l->geometry()), qPrintable(l->objectName()));
    }
}

QTEST_MAIN(TestWelcome)
#include "test_welcome.moc"
