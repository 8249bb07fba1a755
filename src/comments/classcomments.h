#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace velmora::comments {

// One student row as the comment writer's helpers see it.
struct StudentComment {
    int number = 0;
    QString name;     // 写评语 B, as the identity display shows it, else 学生档案 C
    QString comment;  // 写评语 AM
    // Column A or B of 学生档案 holds something: the row is one of the class.
    bool enrolled = false;

    // A comment is written when AM holds more than blanks.
    bool written() const;
};

// Reads rows 2, 3, … (numbers 1, 2, …), each through readRow, which tells
// whether the row held anything; the rows end after a run of empty ones long
// enough that no class leaves such a gap (or at the last number).
void readRows(const std::function<bool(int number)>& readRow);

// Every row of the class: 学生档案 A and B, 写评语 B and AM (学生档案 C for a
// student whose 写评语 B is empty), cell by cell
// through the connection (HostError when the host refuses). Rows with
// neither a student in 学生档案 nor a comment are left out.
QList<StudentComment> readClassComments();

}  // namespace velmora::comments
