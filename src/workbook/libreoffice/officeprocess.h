#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <memory>

namespace velmora::office {

// One LibreOffice process, started by this program and listening for a UNO
// connection on a pipe whose name no other process uses. Its output goes to
// soffice.log in the profile folder. Destroying the object ends the office
// (the whole process group) unless it has ended already or was let go.
class OfficeProcess {
public:
    OfficeProcess();
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // Throws HostError when the office cannot be started at all.
    void start(const QString& profileDir, bool headless);

    qint64 pid() const { return pid_; }
    const QString& pipeName() const { return pipe_; }
    // The connection string for the UNO URL resolver.
    QString unoUrl() const;

    // Waits up to msecs for the office to end by itself; true when it has.
    bool waitForExit(int msecs);
    // Ends the office at once.
    void kill();
    // Leaves the office running when this object goes (it holds documents
    // of the teacher's that only the teacher may close).
    void release();
    // The office's last lines of output, for an error message.
    QString outputTail() const;

private:
    std::unique_ptr<QProcess> process_;
    qint64 pid_ = 0;
    QString pipe_;
    QString log_;
};

// A pipe name no other process uses: the program, its process id and a
// random part.
QString uniquePipeName();

// The environment the office runs in: file locking on, and a UTF-8 character
// type when the program's locale is not UTF-8 (the office fails on non-ASCII
// paths otherwise).
QProcessEnvironment officeEnvironment(const QProcessEnvironment& program);

}  // namespace velmora::office
