#include "scores/scorequeryform.h"

#include "ui_scorequeryform.h"

#include "common/designerform.h"
#include "common/fittinglabel.h"
#include "common/guard.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

namespace velmora::scores {

using namespace velmora::layout;

namespace {
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

QList<RowField> scoreFields(Ui::ScoreQueryForm& ui) {
    QList<RowField> fields;
    const QStringList columns = scoreColumns();
    const QList<QLabel*> values = valueLabels(ui);
    for (qsizetype i = 0; i < columns.size(); ++i)
        fields << RowField::of(kScoresSheet, columns[i], *values[i]);
    fields << RowField::of(kCommentsSheet, kCommentsTextColumn, *ui.TextBox21);
    return fields;
}
}  // namespace

ScoreQueryForm::ScoreQueryForm(QWidget* parent)
    : QWidget(parent),
      ui(setUpForm<Ui::ScoreQueryForm>(this)),
      number_(*ui->TextBox12, *this),
      identity_({RowField::of(kCommentsSheet, kCommentsIdentityColumn, *ui->TextBox14),
                 RowField::of(kArchiveSheet, kArchiveRollColumn, *ui->TextBox20,
                              QStringLiteral("学号:"))}),
      scores_(scoreFields(*ui)) {
    number_.askWhenEmpty([this] { ui->TextBox21->setPlainText(QStringLiteral(" ")); });
    number_.follow([this](int number) { showIdentity(number); });

    onClick(ui->CommandButton6, this, &ScoreQueryForm::lookUpStudent);
    number_.stepWith(*ui->CommandButton5, *ui->CommandButton7,
                     [this](int number) { showStudent(number); });
    connect(ui->CommandButton2, &QPushButton::clicked, this, &QWidget::close);

    guarded(this, [this] { showHeadings(); });
}

ScoreQueryForm::~ScoreQueryForm() = default;

void ScoreQueryForm::showHeadings() {
    const QStringList columns = scoreColumns();
    const QList<QLabel*> headings = headingLabels(*ui);
    for (qsizetype i = 0; i < columns.size(); ++i)
        showFitting(*headings[i], StudentWorkbook::read(kScoresSheet, address(columns[i], kHeadingRow)));
}

void ScoreQueryForm::showIdentity(int number) {
    ui->TextBox21->setPlainText(QString());
    identity_.load(number);
}

void ScoreQueryForm::lookUpStudent() {
    if (const std::optional<int> number = number_.current())
        scores_.load(*number);
}

void ScoreQueryForm::showStudent(int number) {
    number_.show(number);
    scores_.load(number);
}

}  // namespace velmora::scores
