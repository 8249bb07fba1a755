#pragma once

#include <QString>

namespace velmora::paths {

// The per-user folder the program's files live under, ending in one
// separator: on Windows the Windows directory plus "\", elsewhere the
// application data folder plus "/".
QString winpath();
// winpath() + "system32" + separator.
QString ttePath();
// ttePath() + "vm21/Velmoravm2.1.xls": the class workbook.
QString workbookPath();

}  // namespace velmora::paths
