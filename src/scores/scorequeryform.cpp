#include "scores/scorequeryform.h"

#include "ui_scorequeryform.h"

#include "common/fonts.h"
#include "common/guard.h"
#include "common/messages.h"
#include "common/numberbox.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QSignalBlocker>

namespace velmora::scores {

using namespace velmora::layout;

namespace {
const QString kEmptyBoxMessage = QStringLiteral("请先在学生序号中填写号码");
const QString kNothingMessage = QStringLiteral("无内容可查!");
const QString kRollPrefix = QStringLiteral("学号:");

// The sixteen heading labels, in the order of the columns C..R.
QList<QLabel*> headingLabels(Ui::ScoreQueryForm& ui) {
    return {ui.Label4,  ui.Label5,  ui.Label6,  ui.Label7,  ui.Label8,  ui.Label9,
            ui.Label10, ui.Label19, ui.Label20, ui.Label21, ui.Label22, ui.Label23,
            ui.Label24, ui.Label18, ui.Label32, ui.Label34};
}

// The sixteen value labels, in the order of the columns C..R.
QList<QLabel*> valueLabels(Ui::ScoreQueryForm& ui) {
    return {ui.Label12, ui.Label13, ui.Label14, ui.Label15, ui.Label16, ui.Label17,
            ui.Label11, ui.Label26, ui.Label27, ui.Label28, ui.Label29, ui.Label30,
            ui.Label31, ui.Label25, ui.Label33, ui.Label35};
}
}  // namespace

ScoreQueryForm::ScoreQueryForm(QWidget* parent) : QWidget(parent), ui(new Ui::ScoreQueryForm) {
    ui->setupUi(this);
    setFont(songFont(9));

    const auto handler = [this](void (ScoreQueryForm::*method)()) {
        return [this, method] { guarded(this, [this, method] { (this->*method)(); }); };
    };
    connect(ui->TextBox12, &QLineEdit::textChanged, this,
            handler(&ScoreQueryForm::TextBox12_Change));
    connect(ui->CommandButton6, &QPushButton::clicked, this,
            handler(&ScoreQueryForm::CommandButton6_Click));
    connect(ui->CommandButton7, &QPushButton::clicked, this,
            handler(&ScoreQueryForm::CommandButton7_Click));
    connect(ui->CommandButton5, &QPushButton::clicked, this,
            handler(&ScoreQueryForm::CommandButton5_Click));
    connect(ui->CommandButton2, &QPushButton::clicked, this,
            handler(&ScoreQueryForm::CommandButton2_Click));

    guarded(this, [this] { UserForm_Initialize(); });
}

ScoreQueryForm::~ScoreQueryForm() = default;

void ScoreQueryForm::UserForm_Initialize() {
    const QStringList columns = scoreColumns();
    const QList<QLabel*> headings = headingLabels(*ui);
    for (qsizetype i = 0; i < columns.size(); ++i)
        headings[i]->setText(StudentWorkbook::read(kScoresSheet, address(columns[i], kHeadingRow)));
}

// Runs at every change of the number box, typed or rewritten by a step. Text
// that is no student number (a box being retyped, letters) is passed over.
void ScoreQueryForm::TextBox12_Change() {
    const std::optional<int> number = numberBoxValue(ui->TextBox12->text());
    if (!number)
        return;
    const int row = rowOf(*number);
    ui->TextBox21->setPlainText(QString());
    ui->TextBox14->setText(
        StudentWorkbook::read(kCommentsSheet, address(kCommentsIdentityColumn, row)));
    ui->TextBox20->setText(kRollPrefix +
                           StudentWorkbook::read(kArchiveSheet, address(kArchiveRollColumn, row)));
}

std::optional<int> ScoreQueryForm::lookupNumber() {
    const QString text = ui->TextBox12->text();
    if (text.isEmpty()) {
        showMessage(this, kEmptyBoxMessage, kFormTitle);
        ui->TextBox21->setPlainText(QStringLiteral(" "));
        return std::nullopt;
    }
    const std::optional<int> number = numberBoxValue(text);
    if (!number)
        showMessage(this, kBadNumberMessage, kFormTitle);
    return number;
}

void ScoreQueryForm::setNumber(int number) {
    {
        // The change step runs here, inside the step, rather than through the
        // signal: a host failure then ends the whole step with one message.
        const QSignalBlocker blocker(ui->TextBox12);
        ui->TextBox12->setText(numberBoxText(number));
    }
    TextBox12_Change();
}

void ScoreQueryForm::showStudent(int row) {
    const QStringList columns = scoreColumns();
    const QList<QLabel*> values = valueLabels(*ui);
    for (qsizetype i = 0; i < columns.size(); ++i)
        values[i]->setText(StudentWorkbook::read(kScoresSheet, address(columns[i], row)));
    ui->TextBox21->setPlainText(
        StudentWorkbook::read(kCommentsSheet, address(kCommentsTextColumn, row)));
}

// "显示数据"
void ScoreQueryForm::CommandButton6_Click() {
    if (const std::optional<int> number = lookupNumber())
        showStudent(rowOf(*number));
}

// "≥": no bound but the last row of a sheet.
void ScoreQueryForm::CommandButton7_Click() {
    const std::optional<int> number = lookupNumber();
    if (!number)
        return;
    if (*number >= kMaxNumber) {
        showMessage(this, kNothingMessage, kFormTitle);
        return;
    }
    setNumber(*number + 1);
    showStudent(rowOf(*number + 1));
}

// "≤"
void ScoreQueryForm::CommandButton5_Click() {
    const std::optional<int> number = lookupNumber();
    if (!number)
        return;
    if (*number <= 1) {
        showMessage(this, kNothingMessage, kFormTitle);
        return;
    }
    setNumber(*number - 1);
    showStudent(rowOf(*number - 1));
}

// "关闭"
void ScoreQueryForm::CommandButton2_Click() {
    close();
}

}  // namespace velmora::scores
