#include "console/consoleform.h"

#include "ui_consoleform.h"

#include "common/designerform.h"
#include "common/guard.h"
#include "console/consoleoptions.h"
#include "workbook/connection.h"

namespace velmora {

ConsoleForm::ConsoleForm(QWidget* parent)
    : QWidget(parent, Qt::Window), ui(setUpForm<Ui::ConsoleForm>(this)) {
    // Options are exclusive within their page: each page is its buttons' parent.
    for (const ConsoleOption& option : consoleOptions()) {
        auto* button =
            findChild<QRadioButton*>(QStringLiteral("OptionButton%1").arg(option.number));
        Q_ASSERT(button);
        choices_.append({button, &option});
    }
    connect(ui->CommandButton1, &QPushButton::clicked, this, &ConsoleForm::carryOutChoice);
}

ConsoleForm::~ConsoleForm() = default;

void ConsoleForm::carryOutChoice() {
    for (const Choice& choice : choices_) {
        if (!choice.button->isChecked())
            continue;
        const ConsoleOption& option = *choice.option;
        const bool done = guarded(this, [&option] {
            if (option.open)
                option.open();
            else
                StudentWorkbook::select(option.sheet);
        });
        if (done)
            close();
        return;
    }
}

}  // namespace velmora
