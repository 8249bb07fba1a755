#include "archive/studentarchiveform.h"

#include "archive/archivefieldmap.h"
#include "common/closingquestion.h"
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
const QString kNameColumn = QStringLiteral("C");  // TextBox3
const QString kUnseenRecord =
    QStringLiteral("第%1号学生已有档案，请先点“输入序号查学生情况”查看，再修改保存。");

// Single-line boxes, but for the two records of several lines (家访记录, 在校表现).
QList<RowField> recordFields(QWidget& form) {
    QList<RowField> fields;
    for (const ArchiveField& field : archiveFieldMap()) {
        if (auto* lines = form.findChild<QPlainTextEdit*>(field.box)) {
            fields << RowField::of(layout::kArchiveSheet, field.column, *lines);
            continue;
        }
        auto* box = form.findChild<QLineEdit*>(field.box);
        Q_ASSERT(box);
        fields << RowField::of(layout::kArchiveSheet, field.column, *box);
    }
    fields.first().isNumberBox = true;  // column A
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
        record_.show(kNameColumn, QStringLiteral(" "));
        mirrorName();
    });
    number_.afterNothingToLookUp([this] { closingCheck(); });

    connect(ui->CommandButton1, &QPushButton::clicked, this, &QWidget::close);
    onClick(ui->CommandButton2, this, &StudentArchiveForm::lookUpStudent);
    onClick(ui->CommandButton3, this, [this] { storeRecord(); });
    number_.stepWith(*ui->CommandButton5, *ui->CommandButton4,
                     [this](int number) { showStudent(number); });
    connect(ui->TextBox3, &QLineEdit::textChanged, this, &StudentArchiveForm::mirrorName);
    new ClosingQuestion(
        *this, [this] { return record_.edited(); }, [this] { return storeRecord(); });
}

StudentArchiveForm::~StudentArchiveForm() = default;

void StudentArchiveForm::lookUpStudent() {
    if (const std::optional<int> number = number_.current())
        showStudent(*number);
}

// Column A receives the number box's own text, so storing under a new number
// creates that student's row. A student's record is written over only from
// the boxes it was loaded into: the number box may name another student than
// the one shown.
bool StudentArchiveForm::storeRecord() {
    const std::optional<int> number = number_.current([this] { showMessage(this, kCannotSave); });
    if (!number)
        return false;
    if (record_.holdsUnseenText(*number)) {
        showMessage(this, kUnseenRecord.arg(*number));
        return false;
    }
    record_.store(*number);
    StudentWorkbook::save();
    return true;
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
