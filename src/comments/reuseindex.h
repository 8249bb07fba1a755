#pragma once

#include "comments/classcomments.h"

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace velmora::comments {

// A sentence of the comment being written that stands in other students'
// stored comments too.
struct Reuse {
    QString sentence;  // as written in the comment
    QList<int> numbers;  // the other students, ascending
};

// Which students' stored comments hold each sentence. Built from the rows
// read once; looking up a comment reads nothing.
class ReuseIndex {
public:
    ReuseIndex() = default;
    explicit ReuseIndex(const QList<StudentComment>& students);

    // The sentences of text found in the stored comments of students other
    // than `student`, each once, in the order of the text. Sentences shorter
    // than four characters ("加油！") are too common to count.
    QList<Reuse> reusesIn(const QString& text, std::optional<int> student) const;
    // Whether this student's stored comment shares a sentence with another's.
    bool reuses(const StudentComment& student) const;

private:
    QHash<QString, QList<int>> numbers_;  // sentence key -> students, ascending
};

// The reuse line: "“上课认真听讲……”已用于 5、12 号的评语", one line a
// sentence, the first three sentences and then how many more; empty when
// nothing is reused.
QString reuseLine(const QList<Reuse>& reuses);
// The same in full, for the line's tooltip: every sentence whole.
QString reuseDetails(const QList<Reuse>& reuses);

}  // namespace velmora::comments
