#include "workbook/embedded/changeguard.h"

#include "workbook/atomicfile.h"
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
    const QString copy = copy_.isEmpty() ? newCopyPath(path) : copy_;
    try {
        writeFileAtomically(copy, bytes);
    } catch (const HostError& e) {
        throw HostError(
            QStringLiteral("工作簿文件“%1”在打开后已被其他程序修改，为了不覆盖那些修改，"
                           "没有保存到这个文件。\n把您的修改另存为副本也失败了：\n%2\n"
                           "您的修改仍在程序中，请不要退出程序。")
                .arg(QFileInfo(path).fileName(), e.message()));
    }
    copy_ = copy;
    throw HostError(
        QStringLiteral("工作簿文件“%1”在打开后已被其他程序修改，为了不覆盖那些修改，"
                       "没有保存到这个文件。\n您的修改已全部保存在同一文件夹中的副本：\n"
                       "“%2”\n请关闭本程序后核对两个文件，把需要的内容合并到“%1”中。")
            .arg(QFileInfo(path).fileName(), QFileInfo(copy).fileName()));
}

QString ChangeGuard::newCopyPath(const QString& path) const {
    const QFileInfo info(path);
    const QString stem =
        QStringLiteral("%1 (未保存的修改 %2")
            .arg(info.completeBaseName(), now_().toString(QStringLiteral("yyyy-MM-dd HHmm")));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString candidate = info.dir().filePath(stem + u')' + suffix);
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = info.dir().filePath(QStringLiteral("%1 %2)%3").arg(stem).arg(n).arg(suffix));
    return candidate;
}

}  // namespace velmora
