#include "workbook/libreoffice/workbookfile.h"

#include "workbook/workbooklock.h"

#include <QDir>
#include <QFileInfo>

namespace velmora::office {

QString refusalMessage(const QString& path, const AbortingInteractionHandler::Refusal& refusal,
                       const QString& detail) {
    const QString file = QFileInfo(path).fileName();
    if (refusal.about == AbortingInteractionHandler::Refusal::About::Lock)
        return QStringLiteral(
                   "工作簿“%1”正被另一个程序使用。\n%2"
                   "请先在那个程序中关闭这个工作簿，再重新打开。\n"
                   "如果那个程序已经不在运行，请删除锁定文件“%3”后再试。")
            .arg(file,
                 refusal.holder.isEmpty() ? QString()
                                          : QStringLiteral("使用者：%1\n").arg(refusal.holder),
                 QDir::toNativeSeparators(WorkbookLock::lockPathFor(path)));
    QString why = refusal.description.isEmpty() ? detail : refusal.description;
    return QStringLiteral("LibreOffice 无法打开工作簿文件“%1”。%2")
        .arg(QDir::toNativeSeparators(path),
             why.isEmpty() ? QString() : QStringLiteral("\n") + why);
}

}  // namespace velmora::office
