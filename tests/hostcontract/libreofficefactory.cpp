#include "testedhost.h"

#ifdef VELMORA_HAVE_LOHOST
#include "officeprocesses.h"
#include "workbook/libreoffice/libreofficehost.h"
#endif

namespace velmora::test {

#ifdef VELMORA_HAVE_LOHOST

HostKind hostUnderTest() {
    return {
        QStringLiteral("libreoffice"),
        [] { return LibreOfficeHost::unavailableReason(LibreOfficeHost::Mode::Headless); },
        [] { return std::make_unique<Tested<LibreOfficeHost>>(LibreOfficeHost::Mode::Headless); },
        [] { return officeProcesses(); }};
}

#else

HostKind hostUnderTest() {
    return {QStringLiteral("libreoffice"),
            [] {
                return QStringLiteral(
                    "the LibreOffice host was not built: the LibreOffice SDK "
                    "(libreoffice-dev) was not found when the build was configured");
            },
            [] { return std::unique_ptr<TestedHost>(); }, [] { return QStringList(); }};
}

#endif

}  // namespace velmora::test
