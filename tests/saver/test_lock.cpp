// The screen saver as a lock, on a real X server with two screens: what lies
// beneath is covered on both, the launcher bar stays below it, a window
// manager's close request leaves it, no other client can take the keyboard or
// the pointer, and typing reaches no other window until the password is typed
// into the unlock dialog. Keys and clicks come from xdotool, through the
// server, as a keyboard and a mouse would send them.
#include "common/messages.h"
#include "common/singlewindow.h"
#include "saver/screencover.h"
#include "saver/screenlock.h"
#include "saver/screensaver.h"
#include "saver/unlockdialog.h"
#include "shell/launcher.h"
#include "virtualdisplay.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <X11/Xlib.h>
#include <cstdio>

using namespace velmora;
using namespace velmora::saver;

namespace {

const QColor kGreen(0, 255, 0);

void xdotool(const QStringList& args) {
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

void clickAt(QWidget* widget) {
    const QPoint at = widget->mapToGlobal(widget->rect().center());
    xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

// Whether another client of the server could take the keyboard and the
// pointer now (it lets them go again at once).
bool othersCanGrab() {
    Display* x = XOpenDisplay(nullptr);
    const Window root = DefaultRootWindow(x);
    const bool keyboard =
        XGrabKeyboard(x, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    const bool pointer = XGrabPointer(x, root, False, ButtonPressMask, GrabModeAsync,
                                      GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    XCloseDisplay(x);  // ends its grabs
    return keyboard && pointer;
}

// What a window manager sends for Alt+F4 or a task list's close.
void sendWindowManagerClose(QWidget* window) {
    Display* x = XOpenDisplay(nullptr);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window->winId();
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window->winId(), False, NoEventMask, &event);
    XCloseDisplay(x);
}

QWidget* greenWindow(QScreen* screen) {
    auto* w = new QWidget;
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPalette green = w->palette();
    green.setColor(QPalette::Window, kGreen);
    w->setPalette(green);
    w->setAutoFillBackground(true);
    w->setScreen(screen);
    w->setGeometry(screen->geometry().adjusted(100, 100, -100, -100));
    w->show();
    return w;
}

// The screen saver started as the menu starts it, its flowers held back so
// that only black and its label show.
// Null if it does not come up with the keyboard and the pointer held.
ScreenSaver* startStill() {
    ScreenSaver* saver = startScreenSaver();
    saver->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly)->stop();
    const ScreenLock* lock = saver->findChild<ScreenLock*>();
    bool exposed = QTest::qWaitForWindowExposed(saver);
    for (QWidget* cover : lock->covers()) exposed = exposed && QTest::qWaitForWindowExposed(cover);
    return exposed && QTest::qWaitFor([lock] { return lock->inputHeld(); }) ? saver : nullptr;
}

}  // namespace

class TestScreenLock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void coversEveryScreen();
    void windowManagerClose_data();
    void windowManagerClose();
    void typing();

private:
    MessageRecorder notices_;
};

void TestScreenLock::init() {
    QCOMPARE(QGuiApplication::screens().size(), 2);
}

void TestScreenLock::cleanup() {
    // The screen saver refuses to close: it goes by being deleted (its
    // covers with it).
    delete existingWindow<ScreenSaver>();
    QApplication::closeAllWindows();
}

void TestScreenLock::coversEveryScreen() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) QVERIFY(QTest::qWaitForWindowExposed(greenWindow(screen)));
    Launcher launcher;
    launcher.setPointerSource([] { return QPoint(500, 500); });  // resting: it keeps itself on top
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));

    ScreenSaver* saver = startStill();
    QVERIFY(saver);
    QCOMPARE(saver->findChild<ScreenLock*>()->covers().size(), 1);
    for (int tick = 0; tick < 5; ++tick) {
        launcher.pointerTick();
        QTest::qWait(60);
    }
    for (QScreen* screen : screens) {
        const QImage shown = screen->grabWindow(0).toImage();
        const QPoint middle = screen->geometry().center() - screen->geometry().topLeft();
        QCOMPARE(shown.pixelColor(middle), QColor(Qt::black));
        QCOMPARE(shown.pixelColor(shown.width() - 1, shown.height() - 1), QColor(Qt::black));
    }
    const QImage top = screens.at(0)->grabWindow(0).toImage();
    QCOMPARE(top.pixelColor(launcher.geometry().center()), QColor(Qt::black));
    QVERIFY(!othersCanGrab());
}

void TestScreenLock::windowManagerClose_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("closes");
    QTest::newRow("an ordinary window") << "ordinary" << true;
    QTest::newRow("the screen saver") << "saver" << false;
    QTest::newRow("the other screen's cover") << "cover" << false;
}

void TestScreenLock::windowManagerClose() {
    QFETCH(QString, window);
    QFETCH(bool, closes);
    QPointer<QWidget> ordinary = greenWindow(QGuiApplication::screens().at(0));
    QVERIFY(QTest::qWaitForWindowExposed(ordinary));
    QPointer<QWidget> target = ordinary;
    if (window != QLatin1String("ordinary")) {
        ScreenSaver* saver = startStill();
        QVERIFY(saver);
        target = window == QLatin1String("saver")
                     ? static_cast<QWidget*>(saver)
                     : saver->findChild<ScreenLock*>()->covers().value(0);
    }
    sendWindowManagerClose(target);
    if (closes) {
        QTRY_VERIFY(target.isNull());
        return;
    }
    QTest::qWait(500);
    QVERIFY(target && target->isVisible());
    QVERIFY(!othersCanGrab());
}

// Keys typed while the screen saver runs go to it, however the focus was
// handed to the text box; after the password only, they reach the box again.
void TestScreenLock::typing() {
    QLineEdit box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const auto typeIntoBox = [&box](const QString& keys) {
        box.activateWindow();
        xdotool({"windowfocus", "--sync", QString::number(box.winId())});
        xdotool({"type", "--delay", "30", keys});
        QTest::qWait(300);
    };
    typeIntoBox("a");
    QTRY_COMPARE(box.text(), QStringLiteral("a"));

    QPointer<ScreenSaver> saver = startStill();
    QVERIFY(saver);
    typeIntoBox("bc");
    QCOMPARE(box.text(), QStringLiteral("a"));
    QTRY_VERIFY(saver->unlockDialog() && saver->unlockDialog()->isVisible());

    UnlockDialog* dialog = saver->unlockDialog();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    clickAt(dialog->findChild<QLineEdit*>(QStringLiteral("txtPassword")));
    xdotool({"type", "--delay", "30", "vm2.1"});
    clickAt(dialog->findChild<QPushButton*>(QStringLiteral("cmdOK")));
    QTRY_VERIFY(saver.isNull());
    QTRY_VERIFY(othersCanGrab());
    typeIntoBox("d");
    QTRY_COMPARE(box.text(), QStringLiteral("ad"));
}

int main(int argc, char** argv) {
    const test::VirtualDisplay display({QSize(1024, 768), QSize(800, 600)});
    if (!display.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(display.error()));
        return 1;
    }
    qputenv("DISPLAY", display.name().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestScreenLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_lock.moc"
