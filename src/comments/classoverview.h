#pragma once

#include "comments/classcomments.h"
#include "comments/reuseindex.h"

#include <QWidget>

class QLabel;
class QTreeWidget;

namespace velmora::comments {

// "全班评语一览": every student of the class (column A or B of 学生档案
// filled) with the length of the stored comment and whether it shares
// sentences with another student's, and "已完成 N/M" above the list.
// Double-clicking (or Enter on) a student asks the comment writer to open
// them.
class ClassOverview : public QWidget {
    Q_OBJECT
public:
    explicit ClassOverview(QWidget* writer);

    // The class as last read; the list is built anew.
    void showClass(const QList<StudentComment>& students, const ReuseIndex& reuse);

Q_SIGNALS:
    void studentChosen(int number);

private:
    QLabel* progress_;
    QTreeWidget* list_;
};

}  // namespace velmora::comments
