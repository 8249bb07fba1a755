#include "workbook/paths.h"

#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace velmora::paths {

QString winpath() {
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    return QString::fromWCharArray(buffer, n) + u'\\';
#else
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u'/';
#endif
}

QString ttePath() {
#ifdef Q_OS_WIN
    return winpath() + QStringLiteral("system32\\");
#else
    return winpath() + QStringLiteral("system32/");
#endif
}

QString workbookPath() {
#ifdef Q_OS_WIN
    return ttePath() + QStringLiteral("vm21\\Velmoravm2.1.xls");
#else
    return ttePath() + QStringLiteral("vm21/Velmoravm2.1.xls");
#endif
}

}  // namespace velmora::paths
