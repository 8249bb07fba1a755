#include "app/hostchoice.h"

#include "workbook/embedded/embeddedhost.h"
#include "workbook/hosterror.h"
#include "workbook/templateinstall.h"

#ifdef VELMORA_HAVE_LIBREOFFICE
#include "workbook/libreoffice/libreofficehost.h"
#endif

namespace velmora {

namespace {
// Why LibreOffice cannot hold the workbook here, or empty when it can.
QString libreOfficeUnavailable() {
#ifdef VELMORA_HAVE_LIBREOFFICE
    return LibreOfficeHost::unavailableReason(LibreOfficeHost::Mode::Visible);
#else
    return QStringLiteral("本程序在编译时没有 LibreOffice 支持。");
#endif
}

std::unique_ptr<SpreadsheetHost> makeLibreOfficeHost() {
#ifdef VELMORA_HAVE_LIBREOFFICE
    return std::make_unique<LibreOfficeHost>(LibreOfficeHost::Mode::Visible);
#else
    return nullptr;
#endif
}
}  // namespace

HostFactory hostFactory(HostChoice choice, const QString& workbook) {
    return [choice, workbook]() -> std::unique_ptr<SpreadsheetHost> {
        installTemplateIfMissing(workbook);
        const QString unavailable =
            choice == HostChoice::Embedded ? QString() : libreOfficeUnavailable();
        if (choice == HostChoice::LibreOffice && !unavailable.isEmpty())
            throw HostError(QStringLiteral("无法使用 LibreOffice：%1").arg(unavailable));
        if (choice != HostChoice::Embedded && unavailable.isEmpty())
            return makeLibreOfficeHost();
        return std::make_unique<EmbeddedHost>();
    };
}

}  // namespace velmora
