#include "workbook/templatefile.h"

#include <QCoreApplication>
#include <QDir>

namespace velmora {

QString templateFile() {
    // VELMORA_DATA_FROM_PROGRAM: the data folder relative to the programs'
    // folder, the same for an installed program and for the build tree, so
    // the program can be installed under any prefix.
    const QDir programDir(QCoreApplication::applicationDirPath());
    return QDir::cleanPath(programDir.filePath(QStringLiteral(VELMORA_DATA_FROM_PROGRAM
                                                              "/Velmoravm2.1.xls")));
}

}  // namespace velmora
