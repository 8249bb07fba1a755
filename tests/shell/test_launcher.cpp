// The launcher bar: the pointer rule, its heights and grip pointer over a
// series of ticks, the outline colours, its buttons and both ways to quit.
#include "common/fonts.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "common/xpbutton.h"
#include "console/consoleform.h"
#include "memoryhost.h"
#include "shell/launcher.h"
#include "shell/menuholder.h"
#include "workbook/connection.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace velmora;
using velmora::launcher::PointerVerdict;

namespace {
constexpr int kActive = 26;   // 390 twips
constexpr int kResting = 37;  // 560 twips
const QRect kBar(433, 0, 385, kActive);

Launcher* openLauncher(QPoint* pointer) {
    Launcher* bar = showSingle<Launcher>();
    bar->setPointerSource([pointer] { return *pointer; });
    for (QTimer* t : bar->findChildren<QTimer*>()) t->stop();  // the tests tick by hand
    return bar;
}

bool gripShown() {
    const QCursor* c = QGuiApplication::overrideCursor();
    return c && c->shape() == Qt::SizeAllCursor;
}

void press(Launcher* bar, const char* button) {
    QTest::mouseClick(bar->findChild<XPButton*>(QLatin1String(button)), Qt::LeftButton);
}

// What the program asked of its host; it outlives the host, which the
// connection drops when it quits.
struct Journal {
    QStringList log;
    bool failing = false;
    bool cancelled = false;  // the teacher answers 取消 to the quit question
};

class JournalHost : public test::MemoryHost {
public:
    explicit JournalHost(Journal& journal)
        : MemoryHost({layout::kSettingsSheet}), journal_(journal) {}
    void save() override { note(QStringLiteral("save")); }
    bool quit() override {
        note(QStringLiteral("quit"));
        return !journal_.cancelled;
    }

private:
    void note(const QString& operation) {
        journal_.log << operation;
        if (journal_.failing)
            throw HostError(QStringLiteral("电子表格程序没有响应。"));
    }
    Journal& journal_;
};

void connectHost(Journal& journal) {
    StudentWorkbook::adopt(std::make_unique<JournalHost>(journal));
}

// Runs the event loop around an action: the exit code, or 99 when the
// program did not end. The deadline timer dies with the call, so it can never
// end a later test's loop.
int runAndEnd(const std::function<void()>& action) {
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    QTimer::singleShot(0, action);
    deadline.start(100);
    return QCoreApplication::exec();
}
}  // namespace

Q_DECLARE_METATYPE(PointerVerdict)

class TestLauncher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void pointerRule_data();
    void pointerRule();
    void ticksFollowThePointer();
    void outlineCyclesAndActiveTickErasesIt();
    void buttonsOpenMenusAndConsole();
    void exitQuitsTheHostAndEnds_data();
    void exitQuitsTheHostAndEnds();
    void cancelledQuitKeepsTheProgram();
    void failingHostCannotKeepTheTeacherIn();

private:
    QPoint pointer_;
};

void TestLauncher::initTestCase() {
    installFontSubstitutions();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QCOMPARE(QGuiApplication::primaryScreen()->geometry().topLeft(), QPoint(0, 0));
}

void TestLauncher::cleanup() {
    delete existingWindow<Launcher>();
    delete MenuHolder::existing();
    StudentWorkbook::close();
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);  // the grip pointer goes with the bar
}

void TestLauncher::pointerRule_data() {
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<int>("height");
    QTest::addColumn<PointerVerdict>("verdict");
    const PointerVerdict active{true, false}, grip{true, true}, resting{false, false};
    QTest::newRow("row 0 far left of the bar") << QPoint(5, 0) << kResting << grip;
    QTest::newRow("row 3 far right of the bar") << QPoint(1200, 3) << kResting << active;
    QTest::newRow("row 4 away from the bar") << QPoint(1200, 4) << kActive << resting;
    QTest::newRow("above the screen top") << QPoint(100, -40) << kResting << grip;
    QTest::newRow("top edge, grip zone") << QPoint(436, 2) << kResting << grip;
    QTest::newRow("top edge, grip limit") << QPoint(443, 2) << kResting << grip;
    QTest::newRow("top edge, past the grip") << QPoint(444, 2) << kResting << active;
    QTest::newRow("inside while active") << QPoint(600, 20) << kActive << active;
    QTest::newRow("inside while active, grip") << QPoint(433, 25) << kActive << grip;
    QTest::newRow("inside while resting") << QPoint(600, 20) << kResting << resting;
    QTest::newRow("resting band below the bar") << QPoint(600, 30) << kResting << resting;
    QTest::newRow("just below the bar") << QPoint(600, 26) << kActive << resting;
    QTest::newRow("last column of the bar") << QPoint(817, 10) << kActive << active;
    QTest::newRow("right of the bar") << QPoint(818, 10) << kActive << resting;
    QTest::newRow("left of the bar") << QPoint(432, 10) << kActive << resting;
    QTest::newRow("inside, any other height") << QPoint(600, 10) << kActive + 1 << resting;
}

void TestLauncher::pointerRule() {
    QFETCH(QPoint, pointer);
    QFETCH(int, height);
    QFETCH(PointerVerdict, verdict);
    const PointerVerdict got = launcher::pointerVerdict(pointer, kBar, height);
    QCOMPARE(got.active, verdict.active);
    QCOMPARE(got.grip, verdict.grip);
}

void TestLauncher::ticksFollowThePointer() {
    Launcher* bar = openLauncher(&pointer_);
    QCOMPARE(bar->geometry(), kBar);  // at the top edge, active at first
    QCOMPARE(bar->barRect(), kBar);
    const struct {
        QPoint pointer;
        int height;
        bool grip;
    } steps[] = {
        {{600, 200}, kResting, false},  // away: rests
        {{600, 10}, kResting, false},   // from below into the bar: still rests
        {{600, 0}, kActive, false},     // the top edge wakes it
        {{600, 15}, kActive, false},    // stays active inside
        {{436, 15}, kActive, true},     // grip zone: four-way arrow
        {{436, 300}, kResting, true},   // leaving from the grip keeps the arrow
        {{700, 1}, kActive, false},     // an active tick outside the grip resets it
        {{1000, 2}, kActive, false},    // top edge far right
        {{1000, 40}, kResting, false},
    };
    int n = 0;
    for (const auto& step : steps) {
        pointer_ = step.pointer;
        bar->pointerTick();
        QVERIFY2(bar->height() == step.height, qPrintable(QString::number(n)));
        QVERIFY2(gripShown() == step.grip, qPrintable(QString::number(n)));
        QVERIFY2(bar->y() == 0 && bar->width() == 385, qPrintable(QString::number(n)));
        ++n;
    }
}

void TestLauncher::outlineCyclesAndActiveTickErasesIt() {
    Launcher* bar = openLauncher(&pointer_);
    QCOMPARE(bar->outlineColour(), std::nullopt);
    const QList<QColor> cycle = {Qt::black, Qt::white, Qt::yellow, Qt::magenta,
                                 Qt::red,   Qt::black, Qt::white};
    for (const QColor& expected : cycle) {
        bar->outlineTick();
        QCOMPARE(bar->outlineColour(), std::optional<QColor>(expected));
    }
    pointer_ = QPoint(600, 0);
    bar->pointerTick();
    QCOMPARE(bar->outlineColour(), std::nullopt);
    bar->outlineTick();  // the cycle goes on where it was
    QCOMPARE(bar->outlineColour(), std::optional<QColor>(Qt::yellow));
}

void TestLauncher::buttonsOpenMenusAndConsole() {
    Launcher* bar = openLauncher(&pointer_);
    pointer_ = QPoint(500, 300);
    press(bar, "Button2");
    QMenu* file = MenuHolder::instance()->fileMenu();
    QVERIFY(file->isVisible());
    QCOMPARE(file->pos(), bar->mapToGlobal(QPoint(16, 24)));  // 240, 360 twips
    file->close();
    press(bar, "Button8");
    QMenu* tools = MenuHolder::instance()->toolsMenu();
    QVERIFY(tools->isVisible());
    QCOMPARE(tools->pos(), QPoint(500, 300));
    tools->close();
    QVERIFY(!MenuHolder::instance()->isVisible());
    press(bar, "Button3");
    ConsoleForm* console = existingWindow<ConsoleForm>();
    QVERIFY(console && console->isVisible());
    delete console;
}

void TestLauncher::exitQuitsTheHostAndEnds_data() {
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<bool>("unsaved");
    QTest::newRow("launcher, nothing written") << false << false;
    QTest::newRow("launcher, cells written") << false << true;
    QTest::newRow("menu, nothing written") << true << false;
    QTest::newRow("menu, cells written") << true << true;
}

void TestLauncher::exitQuitsTheHostAndEnds() {
    QFETCH(bool, fromMenu);
    QFETCH(bool, unsaved);
    Journal journal;
    connectHost(journal);
    MessageRecorder recorder;
    QPointer<Launcher> bar = openLauncher(&pointer_);
    QPointer<MenuHolder> holder = MenuHolder::instance();
    if (unsaved)
        StudentWorkbook::write(layout::kSettingsSheet, QStringLiteral("C4"),
                               QStringLiteral("一中"));
    const QStringList before = journal.log;

    const int status = runAndEnd([&] {
        if (fromMenu)
            holder->findChild<QAction*>(QStringLiteral("mnu_exit"))->trigger();
        else
            press(bar, "Button7");
    });
    QCOMPARE(status, 0);
    // The host alone decides about unsaved changes: it is asked to quit, and
    // the program saves nothing of its own.
    QCOMPARE(journal.log, before + QStringList{QStringLiteral("quit")});
    QVERIFY(!StudentWorkbook::isOpen());
    QVERIFY(recorder.messages().isEmpty());
    QTRY_VERIFY(bar.isNull() && holder.isNull());  // and with the bar its timers
}

// 取消 to the quit question: the program stays, its host and windows too.
void TestLauncher::cancelledQuitKeepsTheProgram() {
    Journal journal;
    journal.cancelled = true;
    connectHost(journal);
    MessageRecorder recorder;
    QPointer<Launcher> bar = openLauncher(&pointer_);
    QCOMPARE(runAndEnd([&] { press(bar, "Button7"); }), 99);
    QCOMPARE(journal.log, QStringList{QStringLiteral("quit")});
    QVERIFY(StudentWorkbook::isOpen());
    QVERIFY(bar && bar->isVisible());
    QVERIFY(recorder.messages().isEmpty());
    journal.cancelled = false;
    QCOMPARE(runAndEnd([&] { press(bar, "Button7"); }), 0);
    QVERIFY(!StudentWorkbook::isOpen());
}

void TestLauncher::failingHostCannotKeepTheTeacherIn() {
    Journal journal;
    journal.failing = true;
    connectHost(journal);
    MessageRecorder recorder;
    QPointer<Launcher> bar = openLauncher(&pointer_);

    QCOMPARE(runAndEnd([&] { press(bar, "Button7"); }), 99);
    QCOMPARE(recorder.messages().size(), 1);
    QVERIFY(recorder.messages().first().text.contains(QStringLiteral("电子表格程序没有响应。")));
    QVERIFY(StudentWorkbook::isOpen());
    QVERIFY(bar && bar->isVisible());

    QCOMPARE(runAndEnd([&] { press(bar, "Button7"); }), 0);
    QCOMPARE(recorder.messages().size(), 2);
    QCOMPARE(journal.log, (QStringList{QStringLiteral("quit"), QStringLiteral("quit")}));
    QVERIFY(!StudentWorkbook::isOpen());
    QTRY_VERIFY(bar.isNull());
}

QTEST_MAIN(TestLauncher)
#include "test_launcher.moc"
