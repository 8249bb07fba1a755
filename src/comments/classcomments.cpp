#include "comments/classcomments.h"

#include "workbook/connection.h"
#include "workbook/layout.h"

namespace velmora::comments {

using namespace velmora::layout;

namespace {
// Numbers run from 1 without gaps in most classes; a teacher who leaves
// students out leaves a few rows, never this many.
constexpr int kEmptyRowsAtEnd = 30;
const QString kArchiveNameColumn = QStringLiteral("C");  // 姓名

QString cell(const QString& sheet, const QString& column, int number) {
    return StudentWorkbook::read(sheet, address(column, rowOf(number)));
}
}  // namespace

bool StudentComment::written() const {
    return !comment.trimmed().isEmpty();
}

void readRows(const std::function<bool(int number)>& readRow) {
    int emptyRun = 0;
    for (int number = 1; number <= kMaxNumber && emptyRun < kEmptyRowsAtEnd; ++number)
        emptyRun = readRow(number) ? 0 : emptyRun + 1;
}

QList<StudentComment> readClassComments() {
    QList<StudentComment> students;
    readRows([&](int number) {
        StudentComment s;
        s.number = number;
        s.enrolled = !cell(kArchiveSheet, kArchiveNumberColumn, number).isEmpty() ||
                     !cell(kArchiveSheet, kArchiveRollColumn, number).isEmpty();
        s.name = cell(kCommentsSheet, kCommentsIdentityColumn, number);
        if (s.name.isEmpty() && s.enrolled)
            s.name = cell(kArchiveSheet, kArchiveNameColumn, number);
        s.comment = cell(kCommentsSheet, kCommentColumn, number);
        // The name alone does not count: 写评语 B may hold formulas far down.
        const bool any = s.enrolled || !s.comment.isEmpty();
        if (any)
            students << s;
        return any;
    });
    return students;
}

}  // namespace velmora::comments
