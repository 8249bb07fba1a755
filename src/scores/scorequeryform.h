#pragma once

#include "common/numberstepper.h"
#include "common/rowbinding.h"

#include <QWidget>
#include <memory>

namespace Ui {
class ScoreQueryForm;
}

namespace velmora::scores {

// "查询成绩": one student's sixteen scores under the headings of "各科成绩",
// with the roll number and the two "写评语" texts. It only reads the workbook,
// every cell with its own request at the moment it is shown.
class ScoreQueryForm : public QWidget {
    Q_OBJECT
public:
    explicit ScoreQueryForm(QWidget* parent = nullptr);
    ~ScoreQueryForm() override;

private:
    void showHeadings();
    // The student in the number box (every change of it, typed or stepped):
    // the large box empties, the roll number and the name follow.
    void showIdentity(int number);
    void lookUpStudent();
    // Steps to the student: the number box first, then the scores.
    void showStudent(int number);

    std::unique_ptr<Ui::ScoreQueryForm> ui;
    NumberStepper number_;
    RowBinding identity_;  // 写评语 B, 学生档案 B after "学号:"
    RowBinding scores_;    // the sixteen scores, then 写评语 C
};

}  // namespace velmora::scores
