#pragma once

#include <QString>

class QLabel;

namespace velmora::comments {

// The length of a comment as a teacher counts it: every character one (a
// Chinese character, a letter, a digit, a punctuation mark), whatever it
// takes in memory; blanks and line breaks are not counted. A character is
// what the eye sees as one: a letter with a combining accent, a character
// outside the BMP, an emoji sequence.
int commentLength(const QString& text);

// The counter under the comment box: "已写 N 字", in the warning colour while
// the comment is shorter than 60 or longer than 300.
void showCommentLength(QLabel& label, const QString& comment);

}  // namespace velmora::comments
