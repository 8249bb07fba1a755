#include "workbook/libreoffice/processcontrol.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#include <cerrno>
#include <csignal>
#endif

namespace velmora::office {

#ifdef Q_OS_WIN

// Windows has no process groups in this sense: the launcher is ended alone.
void startInOwnProcessGroup(QProcess&) {}
void ignoreBrokenPipes() {}

bool processAlive(qint64 pid) {
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!h)
        return false;
    const bool alive = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return alive;
}

bool processGroupAlive(qint64 pid) {
    return processAlive(pid);
}

void killProcessGroup(qint64 pid) {
    HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, DWORD(pid));
    if (h) {
        TerminateProcess(h, 1);
        CloseHandle(h);
    }
}

// Windows pipes vanish with their process.
void removeLeftoverPipe(const QString&) {}

QString processCommandLine(qint64) {
    return QString();
}

#else

void startInOwnProcessGroup(QProcess& process) {
    // Runs in the child between fork and exec.
    process.setChildProcessModifier([] { ::setsid(); });
}

void ignoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

bool processAlive(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

bool processGroupAlive(qint64 pid) {
    return pid > 0 && (::kill(-pid_t(pid), 0) == 0 || errno == EPERM);
}

void killProcessGroup(qint64 pid) {
    if (pid <= 0)
        return;
    ::kill(-pid_t(pid), SIGKILL);
    ::kill(pid_t(pid), SIGKILL);
}

void removeLeftoverPipe(const QString& pipeName) {
    QFile::remove(QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(pipeName));
}

QString processCommandLine(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QByteArray line = f.readAll();
    line.replace('\0', ' ');
    return QString::fromLocal8Bit(line.trimmed());
}

#endif

}  // namespace velmora::office
