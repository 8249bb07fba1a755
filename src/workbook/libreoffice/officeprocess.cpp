#include "workbook/libreoffice/officeprocess.h"

#include "workbook/hosterror.h"
#include "workbook/libreoffice/officeprofile.h"
#include "workbook/libreoffice/processcontrol.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace velmora::office {

QString uniquePipeName() {
    return QStringLiteral("velmora-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

QProcessEnvironment officeEnvironment(const QProcessEnvironment& program) {
    QProcessEnvironment env = program;
    env.insert(QStringLiteral("SAL_ENABLE_FILE_LOCKING"), QStringLiteral("1"));
    // The character type in effect is the first of these that is set.
    QString ctype;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        ctype = env.value(QLatin1String(name));
        if (!ctype.isEmpty())
            break;
    }
    const QString lower = ctype.toLower();
    if (lower.contains(QLatin1String("utf-8")) || lower.contains(QLatin1String("utf8")))
        return env;
    const QString all = env.value(QStringLiteral("LC_ALL"));
    if (!all.isEmpty()) {
        // LC_ALL would override the character type: keep its choice for the
        // other categories through LANG instead.
        env.remove(QStringLiteral("LC_ALL"));
        env.insert(QStringLiteral("LANG"), all);
    }
    env.insert(QStringLiteral("LC_CTYPE"), QStringLiteral("C.UTF-8"));
    return env;
}

OfficeProcess::OfficeProcess() = default;

OfficeProcess::~OfficeProcess() {
    if (!process_)
        return;
    if (!waitForExit(0))
        kill();
}

void OfficeProcess::start(const QString& profileDir, bool headless) {
    pipe_ = uniquePipeName();
    log_ = profileDir + QStringLiteral("/soffice.log");
    process_ = std::make_unique<QProcess>();
    process_->setProgram(sofficePath());
    QStringList args{
        QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe_),
        QStringLiteral("--norestore"),
        QStringLiteral("--nologo"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("-env:UserInstallation=") + profileUrl(profileDir)};
    if (headless)
        args << QStringLiteral("--headless");
    process_->setArguments(args);
    process_->setProcessEnvironment(officeEnvironment(QProcessEnvironment::systemEnvironment()));
    process_->setStandardInputFile(QProcess::nullDevice());
    process_->setStandardOutputFile(log_);
    process_->setStandardErrorFile(log_, QIODevice::Append);
    startInOwnProcessGroup(*process_);
    process_->start();
    if (!process_->waitForStarted(30000)) {
        const QString why = process_->errorString();
        process_.reset();
        throw HostError(QStringLiteral("无法启动 LibreOffice（%1）：%2")
                            .arg(QDir::toNativeSeparators(sofficePath()), why));
    }
    pid_ = process_->processId();
}

QString OfficeProcess::unoUrl() const {
    return QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe_);
}

bool OfficeProcess::waitForExit(int msecs) {
    if (!process_ || process_->state() == QProcess::NotRunning)
        return true;
    return process_->waitForFinished(msecs) || process_->state() == QProcess::NotRunning;
}

void OfficeProcess::kill() {
    if (!process_)
        return;
    killProcessGroup(pid_);
    process_->waitForFinished(5000);
}

void OfficeProcess::release() {
    // A QProcess kills its process when destroyed: this one is left alone.
    (void)process_.release();
}

QString OfficeProcess::outputTail() const {
    QFile f(log_);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    if (f.size() > 2000)
        f.seek(f.size() - 2000);
    return QString::fromLocal8Bit(f.readAll()).trimmed();
}

}  // namespace velmora::office
