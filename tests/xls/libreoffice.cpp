#include "libreoffice.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace velmora::test {

QString sofficePath() {
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

namespace {

ConversionRun convert(const QStringList& files, const QString& outDir, const QString& format) {
    // Its own profile, so that no other LibreOffice of the user interferes.
    QTemporaryDir profile;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(sofficePath(),
            QStringList{QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                        QStringLiteral("--headless"), QStringLiteral("--convert-to"), format,
                        QStringLiteral("--outdir"), outDir} +
                files);
    ConversionRun run;
    run.finished =
        p.waitForFinished(480000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!run.finished)
        p.kill();
    run.output = QString::fromUtf8(p.readAll());
    return run;
}

}  // namespace

ConversionRun convertToCsv(const QStringList& files, const QString& outDir) {
    return convert(files, outDir,
                   QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,"
                                  "false,false,-1"));
}

ConversionRun convertToPdf(const QStringList& files, const QString& outDir) {
    return convert(files, outDir, QStringLiteral("pdf"));
}

ConversionRun convertToFlatOds(const QStringList& files, const QString& outDir) {
    return convert(files, outDir, QStringLiteral("fods"));
}

}  // namespace velmora::test
