#pragma once

#include <QList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QLineEdit;

namespace Ui {
class UserForm1;
}

namespace velmora::archive {

// The record card of one student ("学生档案"): the 47 fields of the student's
// row on six pages, looked up by the number typed into TextBox1, browsed with
// the previous and next buttons, and stored back into the workbook.
class StudentArchiveForm : public QWidget {
    Q_OBJECT
public:
    explicit StudentArchiveForm(QWidget* parent = nullptr);
    ~StudentArchiveForm() override;

private:
    void CommandButton1_Click();  // close
    void CommandButton2_Click();  // look up by number
    void CommandButton3_Click();  // store the card and save the workbook
    void CommandButton4_Click();  // next student
    void CommandButton5_Click();  // previous student
    void TextBox3_Change();       // mirror the name into TextBox48

    // The student number typed into TextBox1; an empty box gets WHENEMPTY's
    // answer and anything but a number from 1 to 65535 the bad-number message,
    // and then there is no number.
    std::optional<int> typedNumber(const std::function<void()>& whenEmpty);
    // The empty number box: ask for a number and put a blank into the name.
    void askForNumber();
    // Loads the student with this number, then the closing check; a failure
    // of the host is shown and stops there.
    void lookUp(int number);
    // Every field is read before any box changes, so a refused read leaves
    // the card as it was (and a later save cannot mix two students' rows).
    void load(int number);
    // Last step of look-up, next and previous: an empty name means the
    // student's record has not been written.
    void closingCheck();
    void tell(const QString& text);

    std::unique_ptr<Ui::UserForm1> ui;
    QList<QLineEdit*> fields_;  // in the order of the field map
};

}  // namespace velmora::archive
