#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace velmora {

// Keeps a save from overwriting a workbook file that another program changed
// after this program loaded (or last saved) it. The teacher's data is then
// written to a copy beside the file instead, and the save reports it.
class ChangeGuard {
public:
    // The file now holds these bytes, as read or as written by this program.
    void remember(const QByteArray& fileBytes);

    // Replaces the file at path with bytes atomically, unless its content on
    // disk is no longer what was remembered: then the bytes go to a copy
    // beside it ("<name> (未保存的修改 yyyy-MM-dd HHmm).xls", the same copy
    // for every later save of this run) and HostError says so. A file that
    // no longer exists is written anew. Any failure throws HostError and
    // leaves the file as it was.
    void save(const QString& path, const QByteArray& bytes);

    // The copy written by a refused save, or empty.
    QString conflictCopy() const { return copy_; }

    // The clock the copy's name is taken from (tests fix it).
    void setClock(QDateTime (*now)()) { now_ = now; }

private:
    QByteArray digest_;
    QString copy_;
    QDateTime (*now_)() = &QDateTime::currentDateTime;
};

}  // namespace velmora
