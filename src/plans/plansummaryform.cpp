#include "plans/plansummaryform.h"

#include "common/fonts.h"
#include "common/guard.h"
#include "common/messages.h"
#include "common/numberbox.h"
#include "common/plaintext.h"
#include "common/units.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace velmora::plans {

using namespace velmora::layout;

namespace {
const QString kNothingMessage = QStringLiteral("无内容可查!");
const QString kCopiedMessage = QStringLiteral("已经复制成功，请打开WORD或记事本，然后进行粘贴。");

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
    return named(new QPushButton(caption, parent), name);
}
}  // namespace

PlanSummaryForm::PlanSummaryForm(QWidget* parent)
    : QWidget(parent),
      MultiPage3(named(new QTabWidget(this), "MultiPage3")),
      TextBox17(named(new QPlainTextEdit, "TextBox17")),
      TextBox18(named(new QPlainTextEdit, "TextBox18")),
      TextBox19(named(new QLineEdit(QStringLiteral("1"), this), "TextBox19")),
      TextBox20(named(new QLineEdit(QStringLiteral("1"), this), "TextBox20")),
      CommandButton5(button("CommandButton5", QStringLiteral("≤　　"), this)),
      CommandButton7(button("CommandButton7", QStringLiteral("≥"), this)),
      CommandButton8(button("CommandButton8", QStringLiteral("存入新"), this)),
      CommandButton1(button("CommandButton1", QStringLiteral("关闭"), this)),
      CommandButton9(button("CommandButton9", QStringLiteral("复制"), this)) {
    setObjectName(QStringLiteral("PlanSummaryForm"));
    setWindowTitle(QStringLiteral("计划与总结"));
    setFont(songFont(9));
    setFixedSize(pt(420), pt(300));

    MultiPage3->addTab(TextBox17, QStringLiteral("工作计划"));
    MultiPage3->addTab(TextBox18, QStringLiteral("工作总结"));
    TextBox19->setFixedWidth(pt(40));
    TextBox20->hide();
    CommandButton5->setToolTip(QStringLiteral("向前查"));
    CommandButton7->setToolTip(QStringLiteral("向后查"));

    auto* body = new QHBoxLayout;
    body->addWidget(TextBox19, 0, Qt::AlignTop);
    body->addWidget(MultiPage3, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b :
         {CommandButton5, CommandButton7, CommandButton8, CommandButton1, CommandButton9})
        buttons->addWidget(b);
    auto* form = new QVBoxLayout(this);
    form->addLayout(body, 1);
    form->addLayout(buttons);

    // A text box reports movement of the mouse over it, a button held or not.
    for (QPlainTextEdit* box : {TextBox17, TextBox18}) {
        box->viewport()->setMouseTracking(true);
        box->viewport()->installEventFilter(this);
    }

    const auto handler = [this](void (PlanSummaryForm::*method)()) {
        return [this, method] { guarded(this, [this, method] { (this->*method)(); }); };
    };
    connect(CommandButton5, &QPushButton::clicked, this,
            handler(&PlanSummaryForm::CommandButton5_Click));
    connect(CommandButton7, &QPushButton::clicked, this,
            handler(&PlanSummaryForm::CommandButton7_Click));
    connect(CommandButton8, &QPushButton::clicked, this,
            handler(&PlanSummaryForm::CommandButton8_Click));
    connect(CommandButton1, &QPushButton::clicked, this,
            handler(&PlanSummaryForm::CommandButton1_Click));
    connect(CommandButton9, &QPushButton::clicked, this,
            handler(&PlanSummaryForm::CommandButton9_Click));

    guarded(this, [this] { UserForm_Initialize(); });
}

bool PlanSummaryForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (watched == TextBox17->viewport())
            guarded(this, [this] { TextBox17_MouseMove(); });
        else if (watched == TextBox18->viewport())
            guarded(this, [this] { TextBox18_MouseMove(); });
    }
    return QWidget::eventFilter(watched, event);
}

std::optional<int> PlanSummaryForm::entryNumber() {
    const std::optional<int> number = numberBoxValue(TextBox19->text());
    if (!number)
        showMessage(this, kBadNumberMessage, kFormTitle);
    return number;
}

void PlanSummaryForm::loadEntry(int number) {
    const int row = rowOf(number);
    // Both cells are read before either box changes, so a failed read leaves
    // the boxes as they were.
    const QString plan = StudentWorkbook::read(kListsSheet, address(kPlanColumn, row));
    const QString summary = StudentWorkbook::read(kListsSheet, address(kSummaryColumn, row));
    TextBox19->setText(numberBoxText(number));
    TextBox17->setPlainText(plan);
    TextBox18->setPlainText(summary);
}

void PlanSummaryForm::UserForm_Initialize() {
    loadEntry(1);  // the number box's initial text
    TextBox17->moveCursor(QTextCursor::Start);
    TextBox18->moveCursor(QTextCursor::Start);
}

// "≤"
void PlanSummaryForm::CommandButton5_Click() {
    const std::optional<int> number = entryNumber();
    if (!number)
        return;
    if (*number <= 1) {
        showMessage(this, kNothingMessage, kFormTitle);
        return;
    }
    loadEntry(*number - 1);
}

// "≥": no bound but the last row of a sheet.
void PlanSummaryForm::CommandButton7_Click() {
    const std::optional<int> number = entryNumber();
    if (!number)
        return;
    if (*number >= kMaxNumber) {
        showMessage(this, kNothingMessage, kFormTitle);
        return;
    }
    loadEntry(*number + 1);
}

// "存入新": the plan and the summary of the entry, then the workbook is saved.
void PlanSummaryForm::CommandButton8_Click() {
    const std::optional<int> number = entryNumber();
    if (!number)
        return;
    const int row = rowOf(*number);
    StudentWorkbook::writeRaw(kListsSheet, address(kPlanColumn, row), plainText(*TextBox17));
    StudentWorkbook::writeRaw(kListsSheet, address(kSummaryColumn, row), plainText(*TextBox18));
    StudentWorkbook::save();
}

// "复制": the summary's selection, then the plan's, so the plan's wins when
// both boxes hold one.
void PlanSummaryForm::CommandButton9_Click() {
    TextBox18->copy();
    TextBox17->copy();
    showMessage(this, kCopiedMessage, kNoticeTitle);
}

// "关闭"
void PlanSummaryForm::CommandButton1_Click() {
    close();
}

void PlanSummaryForm::TextBox17_MouseMove() {
    refreshOnce();
}

void PlanSummaryForm::TextBox18_MouseMove() {
    refreshOnce();
}

void PlanSummaryForm::refreshOnce() {
    // The counter starts at 1 with each opening; the movement that makes it
    // 2 is the only one that may reload, every later one changes nothing.
    if (numberBoxValue(TextBox20->text()) != 1)
        return;
    TextBox20->setText(numberBoxText(2));
    if (TextBox17->document()->isModified() || TextBox18->document()->isModified())
        return;
    const std::optional<int> number = numberBoxValue(TextBox19->text());
    if (!number) {
        showMessage(this, kNothingMessage, kFormTitle);
        return;
    }
    loadEntry(*number);
}

}  // namespace velmora::plans
