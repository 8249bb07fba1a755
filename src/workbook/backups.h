#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>

// Daily copies of the class workbook in the folder "备份" beside it, so that
// a teacher who overwrote a term's records by mistake can get them back:
//   <folder>/备份/Velmoravm2.1 yyyy-MM-dd.xls              before the day's first save
//   <folder>/备份/Velmoravm2.1 yyyy-MM-dd (恢复前 HHmm).xls  the workbook a restore replaced
// Copies of the 30 most recent days are kept; older days are removed.
namespace velmora::backups {

inline constexpr int kDaysKept = 30;

QString folder(const QString& workbookPath);
QString dailyPath(const QString& workbookPath, const QDate& day);

// Called by every host's save before it writes the workbook file. On the
// first save of a day the file as it is on disk goes to that day's copy
// (made atomically, never replacing one there) and days beyond the last 30
// are removed. No file yet: nothing to keep. HostError when the copy cannot
// be written: the save must not go on, or the day's first version is lost.
void beforeSave(const QString& workbookPath);

// Replaces the workbook file with the backup's content, atomically. The file
// it replaces is kept first as "… (恢复前 HHmm).xls"; its path is returned.
// HostError (the workbook untouched) when either file cannot be read or
// written.
QString restore(const QString& workbookPath, const QString& backupPath);

// The clock the day and time are taken from; tests set it (null: the system
// clock).
void setClock(std::function<QDateTime()> now);
QDateTime now();

}  // namespace velmora::backups
