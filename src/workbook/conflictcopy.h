#pragma once

#include <QDateTime>
#include <QString>

namespace velmora {

// When another program changed the workbook file after this program loaded
// it, a save does not overwrite those changes: the teacher's workbook goes to
// a copy beside the file instead. These are the copy's name and what the
// teacher is told, the same whichever host made the save.

// "<name> (未保存的修改 yyyy-MM-dd HHmm).xls" beside path, numbered on when
// such a file exists already.
QString conflictCopyPath(const QString& path, const QDateTime& now);

// Always throws HostError: the save went to the copy instead of the file.
[[noreturn]] void reportSavedToCopy(const QString& path, const QString& copy);
// Always throws HostError: the copy could not be written either; keptWhere
// says where the changes still are ("请不要退出程序。").
[[noreturn]] void reportCopyFailed(const QString& path, const QString& why,
                                   const QString& keptWhere);

}  // namespace velmora
