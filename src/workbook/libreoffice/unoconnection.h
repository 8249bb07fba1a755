#pragma once

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>
#include <functional>

namespace velmora::office {

namespace css = com::sun::star;

// The UNO runtime of this process, set up once: the types of the office API
// (offapi.rdb) come from the installation the program was built against.
css::uno::Reference<css::uno::XComponentContext> localContext();

// Reaches the office listening at unoUrl, trying every 25 ms until timeoutMs
// has passed or pause(ms), which waits between tries, returns false (the
// office process has ended). Returns an empty reference when it fails.
css::uno::Reference<css::uno::XComponentContext> connectOffice(
    const QString& unoUrl, int timeoutMs, const std::function<bool(int)>& pause);

css::uno::Reference<css::frame::XDesktop2> officeDesktop(
    const css::uno::Reference<css::uno::XComponentContext>& office);

}  // namespace velmora::office
