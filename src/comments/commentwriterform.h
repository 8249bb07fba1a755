#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

namespace Ui {
class UserForm7;
}

class QLineEdit;

namespace velmora::comments {

// The comment writer "写评语": one student's end-of-term comment, composed in
// the comment box from the built-in library and the teacher's own phrases,
// and stored in column AM of "写评语"; the own phrases live in "Sheet1", one
// column per grade type.
class CommentWriterForm : public QWidget {
    Q_OBJECT
public:
    explicit CommentWriterForm(QWidget* parent = nullptr);
    ~CommentWriterForm() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UserForm_Initialize();
    void TextBox12_Change();
    void CommandButton6_Click();
    void CommandButton4_Click();
    void CommandButton5_Click();
    void CommandButton7_Click();
    void CommandButton2_Click();
    void Label9_Click();
    void CommandButton9_Click();
    void CommandButton8_Click();
    void CommandButton10_Click();
    void CommandButton11_Click();
    void CommandButton12_Click();
    void CommandButton13_Click();

    // The number in a number box, or the bad-number message and nothing.
    std::optional<int> checkedNumber(const QLineEdit* box);
    void showStudent(int number);
    void setStudentNumber(int number);
    void loadStudent(int number);
    // Previous (-1) and next (+1) student.
    void stepStudent(int step);
    void closingCheck();
    QString comment() const;
    void setComment(const QString& text);
    std::optional<QString> gradeColumn();
    void loadEntry(int number);

    std::unique_ptr<Ui::UserForm7> ui;
};

}  // namespace velmora::comments
