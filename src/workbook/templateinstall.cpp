#include "workbook/templateinstall.h"

#include "workbook/atomicfile.h"
#include "workbook/hosterror.h"
#include "workbook/templatefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

// The template goes to a new file beside the target first (flushed to the
// disk), then takes the target's name with a rename that refuses to replace
// a file: a workbook that appears meanwhile is never overwritten.
void installTemplateIfMissing(const QString& path) {
    if (QFileInfo::exists(path))
        return;
    const QString native = QDir::toNativeSeparators(path);
    // The whole template is read before anything is created: a missing or
    // unreadable one leaves no folders and no half workbook behind.
    QFile source(templateFile());
    const QByteArray bytes = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray();
    if (bytes.isEmpty() || bytes.size() != source.size())
        throw HostError(QStringLiteral("无法读取工作簿模板“%1”，不能建立“%2”。请重新安装本程序。")
                            .arg(QDir::toNativeSeparators(source.fileName()), native));
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        throw HostError(QStringLiteral("无法建立文件夹“%1”，不能放置工作簿。")
                            .arg(QDir::toNativeSeparators(target.absolutePath())));
    const QString staging = path + QStringLiteral(".new");
    writeFileAtomically(staging, bytes);
    if (!QFile::rename(staging, path)) {
        QFile::remove(staging);
        if (!QFileInfo::exists(path))
            throw HostError(QStringLiteral("无法建立工作簿文件“%1”。").arg(native));
    }
}

}  // namespace velmora
