#pragma once

#include <QProcess>
#include <QString>

namespace velmora::office {

// What the office process needs from the operating system. The office is
// started through a launcher that starts the real office process in turn;
// on POSIX both share a process group of their own, so ending the group ends
// the whole office and nothing is left running.

// The process will lead a group of its own when started.
void startInOwnProcessGroup(QProcess& process);
// A write to the office's connection after the office died would end this
// program by SIGPIPE; it fails with an error instead.
void ignoreBrokenPipes();
bool processAlive(qint64 pid);
// Some process of the group led (once) by this process is still running.
bool processGroupAlive(qint64 pid);
// Ends the process and everything in its group at once.
void killProcessGroup(qint64 pid);
// The office's listening pipe is a socket file that an office which did not
// end by itself (killed, crashed) leaves behind; it is removed once the
// office has gone.
void removeLeftoverPipe(const QString& pipeName);
// The command line the process was started with, arguments separated by
// blanks; empty where the system does not tell.
QString processCommandLine(qint64 pid);

}  // namespace velmora::office
