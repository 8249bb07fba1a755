#include "app/hostchoice.h"
#include "app/sessionend.h"
#include "common/fonts.h"
#include "common/guard.h"
#include "shell/makerinfo.h"
#include "shell/welcomewindow.h"
#include "workbook/connection.h"
#include "workbook/paths.h"
#include "workbook/templatefile.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace velmora;

namespace {

void print(FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
}

QString helpText() {
    return QStringLiteral(
               "用法：velmora [--host=embedded | --host=libreoffice]\n"
               "%1：学生档案、成绩、评语、工作计划与总结，全班的记录都在一个工作簿里。\n"
               "\n"
               "选项：\n"
               "  --host=embedded     用程序自带的表格窗口打开工作簿\n"
               "  --host=libreoffice  用 LibreOffice Calc 打开工作簿\n"
               "                      不写 --host 时：能用 LibreOffice Calc 就用它，否则用自带的表格窗口\n"
               "  -h, --help          显示本说明后退出\n"
               "  -v, --version       显示版本后退出\n"
               "\n"
               "班级工作簿：%2\n"
               "工作簿模板：%3\n")
        .arg(maker::kProgramName, QDir::toNativeSeparators(paths::workbookPath()),
             QDir::toNativeSeparators(templateFile()));
}

// --help and --version answer on the console before any window system is
// asked for, so that they work where there is no display.
bool answeredOnConsole(int argc, char* argv[]) {
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        help = help || !std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help");
        version = version || !std::strcmp(argv[i], "-v") || !std::strcmp(argv[i], "--version");
    }
    if (!help && !version)
        return false;
    QCoreApplication app(argc, argv);  // for the paths the help names
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    print(stdout, help ? helpText() : maker::kProgramName + u'\n');
    return true;
}

[[noreturn]] void usageError(const QString& message) {
    print(stderr, QStringLiteral("velmora：%1\n用 velmora --help 查看用法。\n").arg(message));
    std::exit(2);
}

// --host=embedded | libreoffice; anything else ends the program with a
// message before any window opens. Qt's own options (-platform, -style) have
// been taken out of the arguments by QApplication.
HostChoice hostChoice(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption host(QStringLiteral("host"), QString(), QStringLiteral("host"));
    parser.addOption(host);
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            usageError(QStringLiteral("没有“%1”这个选项。").arg(parser.unknownOptionNames().first()));
        usageError(QStringLiteral("--host 后面要写 embedded 或 libreoffice。"));
    }
    if (!parser.positionalArguments().isEmpty())
        usageError(QStringLiteral("不需要参数“%1”。").arg(parser.positionalArguments().first()));
    const QString value = parser.value(host);
    if (value.isEmpty())
        return HostChoice::Automatic;
    if (value == QLatin1String("embedded"))
        return HostChoice::Embedded;
    if (value == QLatin1String("libreoffice"))
        return HostChoice::LibreOffice;
    usageError(QStringLiteral("--host 后面要写 embedded 或 libreoffice，不能写“%1”。").arg(value));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (answeredOnConsole(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora"));
    const HostChoice choice = hostChoice(QApplication::arguments());
    endRunOnSignalsAndLogout(app);

    // Qt's own texts in Chinese: 确定 on message boxes, 复制 / 粘贴 in text boxes.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_zh_CN"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    installFontSubstitutions();
    QApplication::setFont(songFont(9));  // message boxes and menus in 宋体 too

    const QString workbook = paths::workbookPath();
    auto* welcome = new WelcomeWindow(hostFactory(choice, workbook), workbook);
    welcome->show();

    const int status = QApplication::exec();
    // The run normally ends through 退出, which has quit the host already
    // (signals and the session's end never come back here); if the event
    // loop ended otherwise, the host still asks about unsaved changes.
    if (StudentWorkbook::isOpen())
        guarded(nullptr, [] { StudentWorkbook::quit(); });
    StudentWorkbook::close();
    return status;
}
