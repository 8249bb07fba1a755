#pragma once

#include <QWidget>
#include <optional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace velmora::plans {

// "计划与总结": numbered entries of the work plan (column AJ of "Sheet1") and
// the work summary (column AU), entry n in row n + 1, on two tab pages.
class PlanSummaryForm : public QWidget {
    Q_OBJECT
public:
    explicit PlanSummaryForm(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UserForm_Initialize();
    void CommandButton5_Click();
    void CommandButton7_Click();
    void CommandButton8_Click();
    void CommandButton9_Click();
    void CommandButton1_Click();
    void TextBox17_MouseMove();
    void TextBox18_MouseMove();

    // The entry in the number box, or the message for a box that holds none.
    std::optional<int> entryNumber();
    // Both boxes := the entry's plan and summary; the number box := number.
    void loadEntry(int number);
    // The first mouse movement over either box reloads the entry, unless
    // either box has been edited since it was loaded.
    void refreshOnce();

    QTabWidget* MultiPage3;
    QPlainTextEdit* TextBox17;  // plan
    QPlainTextEdit* TextBox18;  // summary
    QLineEdit* TextBox19;       // entry number
    QLineEdit* TextBox20;       // refresh counter, never shown
    QPushButton* CommandButton5;
    QPushButton* CommandButton7;
    QPushButton* CommandButton8;
    QPushButton* CommandButton1;
    QPushButton* CommandButton9;
};

}  // namespace velmora::plans
