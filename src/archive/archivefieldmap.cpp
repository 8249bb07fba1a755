#include "archive/archivefieldmap.h"

#include "workbook/layout.h"

namespace velmora::archive {

const QList<ArchiveField>& archiveFieldMap() {
    static const QList<ArchiveField> map = [] {
        QList<ArchiveField> fields;
        const QStringList columns = layout::archiveColumns();
        for (qsizetype i = 0; i < columns.size(); ++i)
            fields.append({columns.at(i), QStringLiteral("TextBox%1").arg(i + 1)});
        return fields;
    }();
    return map;
}

}  // namespace velmora::archive
