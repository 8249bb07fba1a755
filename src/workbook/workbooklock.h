#pragma once

#include "workbook/filehold.h"

#include <QString>

namespace velmora {

// Tells other programs that the workbook is in use for as long as this object
// lives: a LibreOffice-style lock file ".~lock.<file name>#" beside the
// workbook, held open and locked by this process.
//
// At construction an existing lock file is judged:
// - held by a running process (this program started twice): refused;
// - written by anyone else (another user, another computer, LibreOffice):
//   refused, naming who holds it and since when;
// - written by this program for this user on this computer and no longer
//   held by any process: left behind by a run that crashed, so taken over.
// A refusal throws HostError with a message for the teacher.
class WorkbookLock {
public:
    explicit WorkbookLock(const QString& workbookPath);
    ~WorkbookLock();  // removes the lock file
    WorkbookLock(const WorkbookLock&) = delete;
    WorkbookLock& operator=(const WorkbookLock&) = delete;

    static QString lockPathFor(const QString& workbookPath);

private:
    void takeExisting();
    void writeEntry();

    QString workbookPath_;
    QString lockPath_;
    FileHold hold_;
};

}  // namespace velmora
