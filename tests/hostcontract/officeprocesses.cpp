#include "officeprocesses.h"

#include "workbook/libreoffice/officeprofile.h"

#include <QProcess>
#include <QRegularExpression>
#include <csignal>

namespace velmora::test {

QStringList officeProcesses() {
    QProcess p;
    p.start(QStringLiteral("pgrep"),
            {QStringLiteral("-a"), QStringLiteral("-f"),
             QRegularExpression::escape(office::profileUrl(office::profileDir()))});
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

void killOfficeProcesses() {
    for (const QString& line : officeProcesses()) {
        const qint64 pid = line.section(u' ', 0, 0).toLongLong();
        if (pid > 0)
            ::kill(pid_t(pid), SIGKILL);
    }
}

}  // namespace velmora::test
