// Runs the screen saver under a real display for measuring and looking at it:
//   saver_driver SECONDS [--unlock] [--seed=N]
// keeps all six flowers alive for SECONDS seconds, then quits; with --unlock
// the unlock dialog is opened after two seconds, as a key press would; with
// --seed the flowers come from a fixed sequence, so that runs compare.
#include "common/fonts.h"
#include "saver/flowerfield.h"
#include "saver/screensaver.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <cstdio>
#include <random>

using namespace velmora::saver;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    velmora::installFontSubstitutions();
    const QStringList args = app.arguments();
    const int seconds = args.size() > 1 ? args.at(1).toInt() : 30;

    Random rnd = clockSeededRandom();
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1String("--seed=")))
            rnd = [engine = std::mt19937(arg.mid(7).toUInt())]() mutable {
                return std::uniform_real_distribution<double>(0.0, 1.0)(engine);
            };
    auto* saver = new ScreenSaver(rnd);
    saver->show();

    // Refill free slots right after each tick, on the screen saver's own
    // timer, so that the measurement adds no wake-ups of its own.
    QTimer* animation = saver->findChild<QTimer*>();
    int ticks = 0;
    QObject::connect(animation, &QTimer::timeout, saver, [saver, &ticks] {
        ++ticks;
        for (int slot = 0; slot < FlowerField::kSlots; ++slot)
            if (!saver->field().flower(slot).alive())
                saver->field().spawn(slot, saver->size());
    });

    if (args.contains(QStringLiteral("--unlock")))
        QTimer::singleShot(2000, saver, [saver] {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
            QApplication::sendEvent(saver, &key);
        });
    // Not quit(): that asks the windows to close, and the screen saver refuses.
    QTimer::singleShot(seconds * 1000, &app, [] { QCoreApplication::exit(0); });
    const int status = app.exec();
    std::printf("%d ticks in %d s\n", ticks, seconds);
    return status;
}
