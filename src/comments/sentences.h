#pragma once

#include <QString>
#include <QStringList>

namespace velmora::comments {

// The sentences of a text as written, in order: it is split after 。！？ (and
// their half-width forms, and "." but for a decimal point, together with the
// closing quotes and brackets that follow them) and at line breaks; blanks around a sentence are dropped, and a
// sentence of blanks only is none.
QStringList sentencesOf(const QString& text);

// What two sentences are compared by: blanks and the closing end mark do not
// count, nor does the difference between full-width and half-width forms
// ("上课认真听讲。" and "上课认真听讲！" are the same sentence).
QString sentenceKey(const QString& sentence);

}  // namespace velmora::comments
