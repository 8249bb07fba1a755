#include "app/hostchoice.h"
#include "common/fonts.h"
#include "common/guard.h"
#include "shell/welcomewindow.h"
#include "workbook/connection.h"
#include "workbook/paths.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

using namespace velmora;

namespace {
// --host=embedded | libreoffice; anything else ends the program with a usage
// message before any window opens.
HostChoice hostChoice(const QApplication& app) {
    QCommandLineParser parser;
    const QCommandLineOption host(
        QStringLiteral("host"),
        QStringLiteral("spreadsheet program: embedded (built in) or libreoffice"),
        QStringLiteral("host"));
    parser.addOption(host);
    parser.addHelpOption();
    parser.process(app);
    const QString value = parser.value(host);
    if (value.isEmpty())
        return HostChoice::Automatic;
    if (value == QLatin1String("embedded"))
        return HostChoice::Embedded;
    if (value == QLatin1String("libreoffice"))
        return HostChoice::LibreOffice;
    std::fprintf(stderr, "velmora: --host is embedded or libreoffice, not \"%s\"\n",
                 qPrintable(value));
    std::exit(2);
}
}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora"));

    // Qt's own texts in Chinese: 确定 on message boxes, 复制 / 粘贴 in text boxes.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    installFontSubstitutions();
    QApplication::setFont(songFont(9));  // message boxes and menus in 宋体 too

    const QString workbook = paths::workbookPath();
    auto* welcome = new WelcomeWindow(hostFactory(hostChoice(app), workbook), workbook);
    welcome->show();

    const int status = QApplication::exec();
    // The run normally ends through 退出, which has quit the host already; if
    // the desktop ended it otherwise, the host still asks about unsaved changes.
    if (StudentWorkbook::isOpen())
        guarded(nullptr, [] { StudentWorkbook::quit(); });
    StudentWorkbook::close();
    return status;
}
