#pragma once

#include <QWidget>
#include <memory>
#include <optional>

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
    void UserForm_Initialize();
    void TextBox12_Change();
    void CommandButton6_Click();
    void CommandButton7_Click();
    void CommandButton5_Click();
    void CommandButton2_Click();

    // The student in the number box, or a message and nullopt; the empty box
    // gets its own message and leaves one space in the large box.
    std::optional<int> lookupNumber();
    // Rewrites the number box and runs its change step, as typing would.
    void setNumber(int number);
    // The sixteen scores and the large box for the student's row.
    void showStudent(int row);

    std::unique_ptr<Ui::ScoreQueryForm> ui;
};

}  // namespace velmora::scores
