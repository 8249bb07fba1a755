#include "xlrdreading.h"

#include <QJsonDocument>
#include <QProcess>

namespace velmora::test {

std::optional<QJsonObject> readWithXlrd(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(VELMORA_SUPPORT_DIR "/xlsread.py"), path});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    if (p.exitCode() != 0) {
        const QByteArray err = p.readAllStandardError();
        if (err.contains("No module named"))
            return std::nullopt;
        qWarning("xlrd failed on %s: %s", qPrintable(path), err.constData());
        return QJsonObject();
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonArray xlrdCell(const QJsonObject& reading, const QString& sheet, const QString& address) {
    return reading.value(QStringLiteral("cells"))
        .toObject()
        .value(sheet)
        .toObject()
        .value(address)
        .toArray();
}

}  // namespace velmora::test
