#include "console/consoleform.h"

#include "common/fonts.h"
#include "common/guard.h"
#include "common/units.h"
#include "console/consoleoptions.h"
#include "workbook/connection.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace velmora {

namespace {
constexpr double kOptionLeft = 12;
constexpr double kOptionTop = 10;
constexpr double kOptionPitch = 20;
}  // namespace

ConsoleForm::ConsoleForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ConsoleForm"));
    setWindowTitle(QStringLiteral("控制台"));
    setFont(songFont(9));
    setFixedSize(pt(220), pt(176));

    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("MultiPage1"));
    pages->setGeometry(ptRect(6, 6, 208, 136));

    int pageNumber = 0;
    for (const ConsolePage& page : consolePages()) {
        auto* panel = new QWidget();
        panel->setObjectName(QStringLiteral("Page%1").arg(++pageNumber));
        // Options are exclusive within their page only.
        auto* group = new QButtonGroup(panel);
        double top = kOptionTop;
        for (const ConsoleOption& option : page.options) {
            auto* button = new QRadioButton(option.caption, panel);
            button->setObjectName(QStringLiteral("OptionButton%1").arg(option.number));
            button->setGeometry(ptRect(kOptionLeft, top, 180, 16));
            group->addButton(button);
            choices_[option.number] = {button, &option};
            top += kOptionPitch;
        }
        pages->addTab(panel, page.caption);
    }

    auto* confirm = new QPushButton(QStringLiteral("确定"), this);
    confirm->setObjectName(QStringLiteral("CommandButton1"));
    confirm->setGeometry(ptRect(74, 148, 72, 22));
    connect(confirm, &QPushButton::clicked, this, &ConsoleForm::carryOutChoice);
}

void ConsoleForm::carryOutChoice() {
    for (const auto& [number, choice] : choices_) {
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
