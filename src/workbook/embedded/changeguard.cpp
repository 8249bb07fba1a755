#include "workbook/embedded/changeguard.h"

#include "workbook/atomicfile.h"
#include "workbook/conflictcopy.h"
#include "workbook/hosterror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

namespace {

QByteArray digestOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// The content comparison is exact: a time stamp alone would miss a change
// made within the file system's time resolution, and would call a file that
// was only touched or copied back changed.
bool changedOnDisk(const QString& path, const QByteArray& remembered) {
    QFile f(path);
    if (!f.exists())
        return false;
    if (!f.open(QIODevice::ReadOnly))
        throw HostError(QStringLiteral("无法读取工作簿文件“%1”（%2），没有保存。")
                            .arg(QDir::toNativeSeparators(path), f.errorString()));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&f))
        throw HostError(QStringLiteral("无法读取工作簿文件“%1”（%2），没有保存。")
                            .arg(QDir::toNativeSeparators(path), f.errorString()));
    return hash.result() != remembered;
}

}  // namespace

void ChangeGuard::remember(const QByteArray& fileBytes) {
    digest_ = digestOf(fileBytes);
}

void ChangeGuard::save(const QString& path, const QByteArray& bytes) {
    if (!changedOnDisk(path, digest_)) {
        writeFileAtomically(path, bytes);
        remember(bytes);
        return;
    }
    const QString copy = copy_.isEmpty() ? conflictCopyPath(path, now_()) : copy_;
    try {
        writeFileAtomically(copy, bytes);
    } catch (const HostError& e) {
        reportCopyFailed(path, e.message(), QStringLiteral("您的修改仍在程序中，请不要退出程序。"));
    }
    copy_ = copy;
    reportSavedToCopy(path, copy);
}

}  // namespace velmora
