// Opens each window of the shell and the console on the real display and
// saves a picture of it: welcome.png, launcher-active.png,
// launcher-resting.png, menu-file.png, menu-tools.png, console-1..3.png and
// screen.png (the whole screen with the bar at the top edge).
// Usage: velmora_screenshots OUTPUT_FOLDER
#include "common/fonts.h"
#include "common/singlewindow.h"
#include "common/xpbutton.h"
#include "console/consoleform.h"
#include "shell/launcher.h"
#include "shell/menuholder.h"
#include "shell/welcomewindow.h"
#include "testworkbook.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>

using namespace velmora;

namespace {
QDir out;

void save(QWidget* w, const QString& name) {
    if (!QTest::qWaitForWindowExposed(w))
        std::fprintf(stderr, "%s was not shown in time\n", qPrintable(name));
    QTest::qWait(200);
    w->grab().save(out.filePath(name));
    std::printf("%s\n", qPrintable(out.filePath(name)));
}

void saveScreen(const QString& name) {
    QTest::qWait(200);
    QGuiApplication::primaryScreen()->grabWindow(0).save(out.filePath(name));
    std::printf("%s\n", qPrintable(out.filePath(name)));
}
}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    out = QDir(QString::fromLocal8Bit(argv[1]));
    installFontSubstitutions();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    test::TestWorkbook book;

    auto* welcome = new WelcomeWindow([] { return nullptr; }, QString());
    welcome->show();
    save(welcome, QStringLiteral("welcome.png"));

    QPoint pointer(600, 0);
    Launcher* bar = showSingle<Launcher>();
    bar->setPointerSource([&pointer] { return pointer; });
    for (QTimer* timer : bar->findChildren<QTimer*>())
        timer->stop();  // the pictures show the ticks made here
    bar->pointerTick();
    save(bar, QStringLiteral("launcher-active.png"));
    saveScreen(QStringLiteral("screen.png"));
    welcome->close();

    pointer = QPoint(600, 300);
    bar->pointerTick();
    for (int tick = 0; tick < 3; ++tick)  // black, white, yellow
        bar->outlineTick();
    save(bar, QStringLiteral("launcher-resting.png"));

    bar->Button2_Click();
    save(MenuHolder::instance()->fileMenu(), QStringLiteral("menu-file.png"));
    MenuHolder::instance()->fileMenu()->close();
    pointer = QPoint(560, 40);
    bar->Button8_Click();
    save(MenuHolder::instance()->toolsMenu(), QStringLiteral("menu-tools.png"));
    MenuHolder::instance()->toolsMenu()->close();

    ConsoleForm* console = showSingle<ConsoleForm>();
    auto* pages = console->findChild<QTabWidget*>(QStringLiteral("MultiPage1"));
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        save(console, QStringLiteral("console-%1.png").arg(page + 1));
    }
    return 0;
}
