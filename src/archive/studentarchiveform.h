#pragma once

#include "common/numberstepper.h"
#include "common/rowbinding.h"

#include <QWidget>
#include <memory>

namespace Ui {
class UserForm1;
}

namespace velmora::archive {

// The record card of one student ("学生档案"): the 47 fields of the student's
// row on six pages, looked up by the number typed into TextBox1, browsed with
// the previous and next buttons, and stored back into the workbook. Closing
// it with text typed and not stored asks whether to store it.
class StudentArchiveForm : public QWidget {
    Q_OBJECT
public:
    explicit StudentArchiveForm(QWidget* parent = nullptr);
    ~StudentArchiveForm() override;

private:
    void lookUpStudent();
    bool storeRecord();  // and save the workbook; false when refused
    void mirrorName();   // TextBox48 shows the name of TextBox3

    // Loads the student's row (column A into the number box too), then the
    // closing check.
    void showStudent(int number);
    // After look-up, next and previous: an empty name means the student's
    // record has not been written.
    void closingCheck();

    std::unique_ptr<Ui::UserForm1> ui;
    NumberStepper number_;
    RowBinding record_;  // the fields in the order of the field map
};

}  // namespace velmora::archive
