#pragma once

#include <QList>
#include <QWidget>
#include <memory>

class QRadioButton;

namespace Ui {
class ConsoleForm;
}

namespace velmora {

struct ConsoleOption;

// The console "控制台": three pages of options; 确定 brings the chosen sheet
// to the front in the workbook window or opens the chosen feature window,
// then closes the console.
class ConsoleForm : public QWidget {
    Q_OBJECT
public:
    explicit ConsoleForm(QWidget* parent = nullptr);
    ~ConsoleForm() override;

private:
    // Carries out the first checked option in control-number order; with
    // nothing checked nothing happens and the console stays open.
    void carryOutChoice();

    struct Choice {
        QRadioButton* button;
        const ConsoleOption* option;
    };
    std::unique_ptr<Ui::ConsoleForm> ui;
    QList<Choice> choices_;  // in control-number order
};

}  // namespace velmora
