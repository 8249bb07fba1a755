#include "workbook/filechecks.h"

#include "workbook/hosterror.h"

#include <QDir>
#include <QFile>

namespace velmora {

namespace {
QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void unreadable(const QString& path, const QFile& file) {
    throw HostError(
        QStringLiteral("无法读取工作簿文件“%1”：%2").arg(shown(path), file.errorString()));
}

// The file opened for reading.
void openForReading(const QString& path, QFile& file) {
    requireWorkbookFile(path);
    if (!file.open(QIODevice::ReadOnly))
        unreadable(path, file);
}
}  // namespace

void requireWorkbookFile(const QString& path) {
    if (!QFile::exists(path))
        throw HostError(QStringLiteral("找不到工作簿文件“%1”。").arg(shown(path)));
}

QByteArray readWorkbookFile(const QString& path) {
    QFile file(path);
    openForReading(path, file);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        unreadable(path, file);
    return bytes;
}

void checkWorkbookFile(const QString& path) {
    QFile file(path);
    openForReading(path, file);
    static const QByteArray compoundFile = QByteArray::fromHex("d0cf11e0a1b11ae1");
    if (file.read(compoundFile.size()) != compoundFile)
        throw HostError(notAWorkbookMessage(path));
}

QString notAWorkbookMessage(const QString& path) {
    return QStringLiteral("工作簿文件“%1”无法打开：它不是 Excel 97-2003 工作簿。").arg(shown(path));
}

}  // namespace velmora
