#include "workbook/conflictcopy.h"

#include "workbook/hosterror.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

namespace {
const QString kNotSaved = QStringLiteral(
    "工作簿文件“%1”在打开后已被其他程序修改，为了不覆盖那些修改，没有保存到这个文件。\n");
}

QString conflictCopyPath(const QString& path, const QDateTime& now) {
    const QFileInfo info(path);
    const QString stem = QStringLiteral("%1 (未保存的修改 %2")
                             .arg(info.completeBaseName(),
                                  now.toString(QStringLiteral("yyyy-MM-dd HHmm")));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString candidate = info.dir().filePath(stem + u')' + suffix);
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = info.dir().filePath(QStringLiteral("%1 %2)%3").arg(stem).arg(n).arg(suffix));
    return candidate;
}

void reportSavedToCopy(const QString& path, const QString& copy) {
    const QString file = QFileInfo(path).fileName();
    throw HostError(kNotSaved.arg(file) +
                    QStringLiteral("您的修改已全部保存在同一文件夹中的副本：\n“%2”\n"
                                   "请关闭本程序后核对两个文件，把需要的内容合并到“%1”中。")
                        .arg(file, QFileInfo(copy).fileName()));
}

void reportCopyFailed(const QString& path, const QString& why, const QString& keptWhere) {
    throw HostError(kNotSaved.arg(QFileInfo(path).fileName()) +
                    QStringLiteral("把您的修改另存为副本也失败了：\n%1\n%2").arg(why, keptWhere));
}

}  // namespace velmora
