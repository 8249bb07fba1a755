#include "workbook/libreoffice/libreofficehost.h"
#include "workbook/libreoffice/officeprofile.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

namespace velmora {

QString LibreOfficeHost::unavailableReason(Mode mode) {
    const QString soffice = office::sofficePath();
    if (!QFileInfo(soffice).isExecutable())
        return QStringLiteral("没有找到 LibreOffice（%1）。")
            .arg(QDir::toNativeSeparators(soffice));
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without a display the office starts without any window at all.
    if (mode == Mode::Visible && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral("没有图形界面，无法显示 LibreOffice 的窗口。");
#else
    Q_UNUSED(mode);
#endif
    return QString();
}

}  // namespace velmora
