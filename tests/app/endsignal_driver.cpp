// The program as a signal finds it: the class workbook open in the host
// named by the first argument (embedded, or libreoffice without a window),
// at the path of the second, with the third written into 设置!C4 and not
// saved. It prints "ready" and runs until a signal ends it, handled as the
// program handles one.
#include "app/sessionend.h"
#include "workbook/connection.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/hosterror.h"
#include "workbook/layout.h"

#ifdef VELMORA_HAVE_LOHOST
#include "workbook/libreoffice/libreofficehost.h"
#endif

#include <QApplication>
#include <cstdio>

using namespace velmora;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora"));
    endRunOnSignalsAndLogout(app);
    const QStringList args = QApplication::arguments();
    if (args.size() != 4)
        return 2;
    std::unique_ptr<SpreadsheetHost> host = std::make_unique<EmbeddedHost>();
#ifdef VELMORA_HAVE_LOHOST
    if (args[1] == QLatin1String("libreoffice"))
        host = std::make_unique<LibreOfficeHost>(LibreOfficeHost::Mode::Headless);
#endif
    try {
        StudentWorkbook::start(std::move(host), args[2]);
        StudentWorkbook::writeRaw(layout::kSettingsSheet, QStringLiteral("C4"), args[3]);
    } catch (const HostError& e) {
        std::fputs(e.message().toUtf8().constData(), stderr);
        return 2;
    }
    std::puts("ready");
    std::fflush(stdout);
    return QApplication::exec();
}
