#include "plans/plansummaryform.h"

#include "ui_plansummaryform.h"

#include "common/closingquestion.h"
#include "common/designerform.h"
#include "common/guard.h"
#include "common/messages.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QEvent>

namespace velmora::plans {

namespace {
const QString kCopiedMessage = QStringLiteral("已经复制成功，请打开WORD或记事本，然后进行粘贴。");
const QString kNothingSelected = QStringLiteral("没有选中任何文字，未复制。");
const QString kUnseenEntry = QStringLiteral("第%1条已有内容，请先用 ≤ ≥ 查看后再修改。");
}  // namespace

PlanSummaryForm::PlanSummaryForm(QWidget* parent)
    : QWidget(parent),
      ui(setUpForm<Ui::PlanSummaryForm>(this)),
      number_(*ui->TextBox19, *this),
      entry_({RowField::of(layout::kListsSheet, layout::kPlanColumn, *ui->TextBox17),
              RowField::of(layout::kListsSheet, layout::kSummaryColumn, *ui->TextBox18)}) {
    // A text box reports movement of the mouse over it, a button held or not.
    for (QPlainTextEdit* box : {ui->TextBox17, ui->TextBox18}) {
        box->viewport()->setMouseTracking(true);
        box->viewport()->installEventFilter(this);
    }

    number_.stepWith(*ui->CommandButton5, *ui->CommandButton7,
                     [this](int number) { showEntry(number); });
    onClick(ui->CommandButton8, this, [this] { storeEntry(); });
    connect(ui->CommandButton1, &QPushButton::clicked, this, &QWidget::close);
    onClick(ui->CommandButton9, this, &PlanSummaryForm::copySelections);

    // Entry 1, the number box's initial text, with both boxes at their first lines.
    guarded(this, [this] { showEntry(1); });
    ui->TextBox17->moveCursor(QTextCursor::Start);
    ui->TextBox18->moveCursor(QTextCursor::Start);
    new ClosingQuestion(
        *this, [this] { return entry_.edited(); }, [this] { return storeEntry(); });
}

PlanSummaryForm::~PlanSummaryForm() = default;

bool PlanSummaryForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove &&
        (watched == ui->TextBox17->viewport() || watched == ui->TextBox18->viewport()))
        guarded(this, [this] { refreshOnce(); });
    return QWidget::eventFilter(watched, event);
}

void PlanSummaryForm::showEntry(int number) {
    entry_.load(number);
    number_.show(number);
}

// An entry whose texts the boxes do not show is never written over: the
// number box may name another entry than the one shown.
bool PlanSummaryForm::storeEntry() {
    const std::optional<int> number = number_.current();
    if (!number)
        return false;
    if (entry_.holdsUnseenText(*number)) {
        showMessage(this, kUnseenEntry.arg(*number));
        return false;
    }
    entry_.store(*number);
    StudentWorkbook::save();
    return true;
}

// The summary's selection, then the plan's, so the plan's wins when both
// boxes hold one.
void PlanSummaryForm::copySelections() {
    if (!ui->TextBox17->textCursor().hasSelection() &&
        !ui->TextBox18->textCursor().hasSelection()) {
        showMessage(this, kNothingSelected);
        return;
    }
    ui->TextBox18->copy();
    ui->TextBox17->copy();
    showMessage(this, kCopiedMessage, kNoticeTitle);
}

// Only the first movement since the window opened may reload.
void PlanSummaryForm::refreshOnce() {
    if (refreshed_)
        return;
    refreshed_ = true;
    if (entry_.edited())
        return;
    if (const std::optional<int> number = number_.current())
        showEntry(*number);
}

}  // namespace velmora::plans
