#include "common/fonts.h"
#include "common/guard.h"
#include "shell/welcomewindow.h"
#include "workbook/connection.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/paths.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace velmora;

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
    auto* welcome = new WelcomeWindow(
        [workbook]() -> std::unique_ptr<SpreadsheetHost> {
            installTemplateIfMissing(workbook);
            return std::make_unique<EmbeddedHost>();
        },
        workbook);
    welcome->show();

    const int status = QApplication::exec();
    // The run normally ends through 退出, which has quit the host already; if
    // the desktop ended it otherwise, the host still asks about unsaved changes.
    if (StudentWorkbook::isOpen())
        guarded(nullptr, [] { StudentWorkbook::quit(); });
    StudentWorkbook::close();
    return status;
}
