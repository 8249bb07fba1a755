#include "shell/platform.h"

#include <QCursor>
#include <QDesktopServices>
#include <QUrl>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace velmora::platform {

void openLink(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

QPoint pointerPosition() {
    return QCursor::pos();
}

void keepOnTop(QWidget* window) {
#ifdef Q_OS_WIN
    SetWindowPos(reinterpret_cast<HWND>(window->winId()), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
#else
    // The window manager keeps a stays-on-top window above ordinary ones;
    // raising it again puts it back above windows that were raised later.
    window->raise();
#endif
}

}  // namespace velmora::platform
