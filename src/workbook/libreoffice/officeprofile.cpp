#include "workbook/libreoffice/officeprofile.h"

#include "workbook/hosterror.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace velmora::office {

QString programDir() {
    return QStringLiteral(VELMORA_OFFICE_PROGRAM_DIR);
}

QString sofficePath() {
    return programDir() + QStringLiteral("/soffice");
}

QString profileDir() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/lo-profile");
}

QString profileUrl(const QString& dir) {
    return QUrl::fromLocalFile(dir).toString(QUrl::FullyEncoded);
}

QString installedVersion(const QString& programDir) {
    QFile f(programDir + QStringLiteral("/bootstraprc"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    static const QRegularExpression key(QStringLiteral("^ProductKey=.*?(\\d+\\.\\d+)\\s*$"),
                                        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = key.match(QString::fromUtf8(f.read(64 * 1024)));
    return m.hasMatch() ? m.captured(1) : QString();
}

QByteArray registrySeed(const QString& version) {
    auto item = [](const char* path, const char* name, const QString& value) {
        return QStringLiteral(
                   "<item oor:path=\"%1\"><prop oor:name=\"%2\" oor:op=\"fuse\">"
                   "<value>%3</value></prop></item>\n")
            .arg(QLatin1String(path), QLatin1String(name), value.toHtmlEscaped());
    };
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
        "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n");
    if (!version.isEmpty())
        xml += item("/org.openoffice.Setup/Product", "ooSetupLastVersion", version);
    xml += item("/org.openoffice.Setup/Office", "ooSetupInstCompleted", QStringLiteral("true"));
    xml += item("/org.openoffice.Office.Common/Misc", "ShowTipOfTheDay", QStringLiteral("false"));
    xml += item("/org.openoffice.Office.Common/Misc", "FirstRun", QStringLiteral("false"));
    xml += item("/org.openoffice.Office.Common/Save/Document", "WarnAlienFormat",
                QStringLiteral("false"));
    xml += QStringLiteral("</oor:items>\n");
    return xml.toUtf8();
}

void seedProfile(const QString& dir, const QString& version) {
    const QString user = dir + QStringLiteral("/user");
    const QString settings = user + QStringLiteral("/registrymodifications.xcu");
    if (QFile::exists(settings))
        return;
    QSaveFile f(settings);
    if (!QDir().mkpath(user) || !f.open(QIODevice::WriteOnly) ||
        f.write(registrySeed(version)) < 0 || !f.commit())
        throw HostError(QStringLiteral("无法建立 LibreOffice 的设置文件夹“%1”。")
                            .arg(QDir::toNativeSeparators(dir)));
}

}  // namespace velmora::office
