#pragma once

#include <QList>
#include <QString>

namespace velmora::archive {

// One field of the record card: a column of the student's row in "学生档案"
// and the text box that shows and stores it.
struct ArchiveField {
    QString column;
    QString box;
};

// The 47 fields in column order A..P, R..AV (Q belongs to no field); the n-th
// column is bound to TextBoxn. Loading and storing a record both walk it.
const QList<ArchiveField>& archiveFieldMap();

}  // namespace velmora::archive
