#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// An open file with an exclusive lock of the operating system on it. The
// system drops that lock when the process ends, however it ends, so a second
// process can tell a file held by a running program from one left behind by a
// program that crashed.
class FileHold {
public:
    enum class Result {
        Held,    // this process holds the file now
        Busy,    // another running process holds it
        Exists,  // creating: the file is already there
        Failed,  // any other failure; error() says why
    };

    FileHold() = default;
    ~FileHold();
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

    // Opens the file (creating it, and only when absent, if create is set)
    // and tries to lock it without waiting.
    Result acquire(const QString& path, bool create);
    // Replaces the held file's content and flushes it to the disk.
    bool replaceContent(const QByteArray& content);
    // Removes the file (only if the path still names the held file), then
    // lets it go.
    void removeAndRelease();
    // Lets the file go and leaves it where it is.
    void release();

    bool isHeld() const;
    QString error() const { return error_; }

private:
    QString path_;
    QString error_;
#ifdef Q_OS_WIN
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

}  // namespace velmora
