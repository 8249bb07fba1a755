#include "archive/studentarchiveform.h"

#include "archive/archivefieldmap.h"
#include "common/designerform.h"
#include "common/guard.h"
#include "common/messages.h"
#include "ui_studentarchiveform.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

namespace velmora::archive {

namespace {
const QString kNotWritten = QStringLiteral("该生档案还没书写!");
const QString kCannotSave = QStringLiteral("该生档案书写!不能保存!");

QList<RowField> recordFields(QWidget& form) {
    QList<RowField> fields;
    for (const ArchiveField& field : archiveFieldMap()) {
        auto* box = form.findChild<QLineEdit*>(field.box);
        Q_ASSERT(box);
        fields << RowField::of(layout::kArchiveSheet, field.column, *box);
    }
    return fields;
}
}  // namespace

StudentArchiveForm::StudentArchiveForm(QWidget* parent)
    : QWidget(parent),
      ui(setUpForm<Ui::UserForm1>(this)),
      number_(*ui->TextBox1, *this),
      record_(recordFields(*this)) {
    // The blank name it leaves keeps the closing check silent.
    number_.askWhenEmpty([this] {
        ui->TextBox3->setText(QStringLiteral(" "));
        mirrorName();
    });
    number_.afterNothingToLookUp([this] { closingCheck(); });

    connect(ui->CommandButton1, &QPushButton::clicked, this, &QWidget::close);
    onClick(ui->CommandButton2, this, &StudentArchiveForm::lookUpStudent);
    onClick(ui->CommandButton3, this, &StudentArchiveForm::storeRecord);
    number_.stepWith(*ui->CommandButton5, *ui->CommandButton4,
                     [this](int number) { showStudent(number); });
    connect(ui->TextBox3, &QLineEdit::textChanged, this, &StudentArchiveForm::mirrorName);
}

StudentArchiveForm::~StudentArchiveForm() = default;

void StudentArchiveForm::lookUpStudent() {
    if (const std::optional<int> number = number_.current())
        showStudent(*number);
}

// Column A receives the number box's own text, so storing under a new number
// creates that student's row.
void StudentArchiveForm::storeRecord() {
    const std::optional<int> number = number_.current([this] { showMessage(this, kCannotSave); });
    if (!number)
        return;
    record_.store(*number);
    StudentWorkbook::save();
}

void StudentArchiveForm::showStudent(int number) {
    record_.load(number);
    mirrorName();
    closingCheck();
}

void StudentArchiveForm::mirrorName() {
    ui->TextBox48->setText(ui->TextBox3->text());
}

void StudentArchiveForm::closingCheck() {
    if (ui->TextBox3->text().isEmpty())
        showMessage(this, kNotWritten);
}

}  // namespace velmora::archive
