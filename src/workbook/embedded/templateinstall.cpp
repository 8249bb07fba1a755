#include "workbook/atomicfile.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/hosterror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// The template workbook is compiled in as a resource of a static library:
// its registration has to be asked for by name, outside any namespace.
static void registerTemplateResource() {
    Q_INIT_RESOURCE(template);
}

namespace velmora {

namespace {
const QString kTemplateResource = QStringLiteral(":/template/Velmoravm2.1.xls");
}

// The template goes to a new file beside the target first (flushed to the
// disk), then takes the target's name with a rename that refuses to replace
// a file: a workbook that appears meanwhile is never overwritten.
void installTemplateIfMissing(const QString& path) {
    if (QFileInfo::exists(path))
        return;
    registerTemplateResource();
    const QString native = QDir::toNativeSeparators(path);
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        throw HostError(QStringLiteral("无法建立文件夹“%1”，不能放置工作簿。")
                            .arg(QDir::toNativeSeparators(target.absolutePath())));
    QFile resource(kTemplateResource);
    if (!resource.open(QIODevice::ReadOnly))
        throw HostError(QStringLiteral("程序中缺少工作簿模板，无法建立“%1”。").arg(native));
    const QString staging = path + QStringLiteral(".new");
    writeFileAtomically(staging, resource.readAll());
    if (!QFile::rename(staging, path)) {
        QFile::remove(staging);
        if (!QFileInfo::exists(path))
            throw HostError(QStringLiteral("无法建立工作簿文件“%1”。").arg(native));
    }
}

}  // namespace velmora
