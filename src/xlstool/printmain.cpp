// velmora-xls-pdf: the printing half of velmora-xls (its `pdf` verb runs
// this program). Printing lays out text, which needs the GUI part of Qt; the
// reading verbs stay free of it, and of the memory it takes.
#include "failures.h"
#include "printcommand.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // It draws on no screen, so it needs no display either.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fputs("用法：velmora-xls pdf FILE SHEET OUT.pdf\n", stderr);
        return 1;
    }
    return velmora::xlstool::reportingFailures([&] {
        velmora::xlstool::printSheet(args[1], args[2], args[3]);
        return 0;
    });
}
