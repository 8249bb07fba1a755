#include "workbook/filehold.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#endif

namespace velmora {

FileHold::~FileHold() {
    release();
}

#ifdef Q_OS_WIN

// Windows: a handle opened without write sharing keeps every other opener for
// writing out; the system closes it when the process ends.
FileHold::Result FileHold::acquire(const QString& path, bool create) {
    release();
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()),
                           GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           create ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        if (e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION)
            return Result::Busy;
        if (e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS)
            return Result::Exists;
        error_ = QStringLiteral("系统错误 %1").arg(e);
        return Result::Failed;
    }
    handle_ = h;
    path_ = path;
    return Result::Held;
}

bool FileHold::replaceContent(const QByteArray& content) {
    HANDLE h = static_cast<HANDLE>(handle_);
    DWORD written = 0;
    LARGE_INTEGER zero = {};
    return SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) && SetEndOfFile(h) &&
           WriteFile(h, content.constData(), DWORD(content.size()), &written, nullptr) &&
           written == DWORD(content.size()) && FlushFileBuffers(h);
}

void FileHold::removeAndRelease() {
    if (!handle_)
        return;
    const QString path = path_;
    release();
    DeleteFileW(reinterpret_cast<const wchar_t*>(path.utf16()));
}

void FileHold::release() {
    if (handle_)
        CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

bool FileHold::isHeld() const {
    return handle_ != nullptr;
}

#else

// POSIX: flock() on the open descriptor; the kernel drops it with the last
// descriptor, so a crashed holder leaves the file unlocked.
FileHold::Result FileHold::acquire(const QString& path, bool create) {
    release();
    const QByteArray native = QFile::encodeName(path);
    const int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT | O_EXCL : 0);
    const int fd = ::open(native.constData(), flags, 0644);
    if (fd < 0) {
        if (errno == EEXIST)
            return Result::Exists;
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return Result::Failed;
    }
    // The creator waits: another process looking at the new, still empty
    // file holds it only for that look.
    int locked;
    do locked = ::flock(fd, create ? LOCK_EX : LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK)
            return Result::Busy;
        error_ = QString::fromLocal8Bit(std::strerror(e));
        return Result::Failed;
    }
    fd_ = fd;
    path_ = path;
    return Result::Held;
}

bool FileHold::replaceContent(const QByteArray& content) {
    if (fd_ < 0 || ::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0)
        return false;
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd_, content.constData() + done, size_t(content.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return ::fsync(fd_) == 0;
}

void FileHold::removeAndRelease() {
    if (fd_ < 0)
        return;
    // Another program may have removed the file and put its own in its
    // place: that one is not ours to remove.
    struct stat held {
    }, named{};
    if (::fstat(fd_, &held) == 0 && ::stat(QFile::encodeName(path_).constData(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino)
        ::unlink(QFile::encodeName(path_).constData());
    release();
}

void FileHold::release() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool FileHold::isHeld() const {
    return fd_ >= 0;
}

#endif

}  // namespace velmora
