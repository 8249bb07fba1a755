#pragma once

#include <QString>
#include <QStringList>

namespace velmora::comments {

// The objectNames of the twelve library boxes of the comment writer, in the
// order of their pages: the nine topic pages, then the three grade pages.
QStringList libraryBoxNames();

// The built-in text of a library box: its sentences (on the grade pages, whole
// comment paragraphs) one a line, joined by LF. Empty for any other name.
QString libraryText(const QString& boxName);

}  // namespace velmora::comments
