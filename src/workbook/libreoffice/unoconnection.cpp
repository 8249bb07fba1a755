#include "workbook/libreoffice/unoconnection.h"

#include "workbook/libreoffice/officeprofile.h"
#include "workbook/libreoffice/unostring.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <QDeadlineTimer>
#include <QUrl>

namespace velmora::office {

using css::uno::Reference;

Reference<css::uno::XComponentContext> localContext() {
    static const Reference<css::uno::XComponentContext> context = [] {
        // The runtime's own settings name only the core types; the office
        // API's types are in the installation's types folder.
        rtl::Bootstrap::set(rtl::OUString("URE_MORE_TYPES"),
                            toOUString(QStringLiteral("<%1>*").arg(
                                QUrl::fromLocalFile(programDir() + QStringLiteral("/types"))
                                    .toString(QUrl::FullyEncoded))));
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

Reference<css::uno::XComponentContext> connectOffice(const QString& unoUrl, int timeoutMs,
                                                     const std::function<bool(int)>& pause) {
    const Reference<css::bridge::XUnoUrlResolver> resolver =
        css::bridge::UnoUrlResolver::create(localContext());
    const rtl::OUString url = toOUString(unoUrl);
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        try {
            return Reference<css::uno::XComponentContext>(resolver->resolve(url),
                                                          css::uno::UNO_QUERY);
        } catch (const css::connection::NoConnectException&) {
            // Not listening yet.
        } catch (const css::lang::DisposedException&) {
            // Listening, but the connection was dropped while it was being
            // set up (an office still starting, under load): try again.
        }
        if (deadline.hasExpired() || !pause(25))
            return {};
    }
}

Reference<css::frame::XDesktop2> officeDesktop(
    const Reference<css::uno::XComponentContext>& office) {
    return css::frame::Desktop::create(office);
}

}  // namespace velmora::office
