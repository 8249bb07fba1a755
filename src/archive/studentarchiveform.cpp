#include "archive/studentarchiveform.h"

#include "archive/archivefieldmap.h"
#include "common/fonts.h"
#include "common/guard.h"
#include "common/messages.h"
#include "common/numberbox.h"
#include "common/units.h"
#include "ui_studentarchiveform.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <algorithm>

namespace velmora::archive {

namespace {
const QString kAskForNumber = QStringLiteral("请先在学生序号中填写号码");
const QString kNotWritten = QStringLiteral("该生档案还没书写!");
const QString kCannotSave = QStringLiteral("该生档案书写!不能保存!");
const QString kNothingToLookUp = QStringLiteral("无内容可查!");

// 0 is no student number, yet "≤" from 0 has simply nothing to look up.
bool isZero(const QString& text) {
    const QString digits = text.trimmed();
    return !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c == u'0' || c == u'\uFF10';  // full-width zero
    });
}
}  // namespace

StudentArchiveForm::StudentArchiveForm(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::UserForm1>()) {
    setFont(songFont(9));
    ui->setupUi(this);
    setFixedSize(pt(386), pt(284));
    for (const ArchiveField& field : archiveFieldMap()) {
        fields_.append(findChild<QLineEdit*>(field.box));
        Q_ASSERT(fields_.constLast());
    }
    connect(ui->CommandButton1, &QPushButton::clicked, this,
            &StudentArchiveForm::CommandButton1_Click);
    connect(ui->CommandButton2, &QPushButton::clicked, this,
            &StudentArchiveForm::CommandButton2_Click);
    connect(ui->CommandButton3, &QPushButton::clicked, this,
            &StudentArchiveForm::CommandButton3_Click);
    connect(ui->CommandButton4, &QPushButton::clicked, this,
            &StudentArchiveForm::CommandButton4_Click);
    connect(ui->CommandButton5, &QPushButton::clicked, this,
            &StudentArchiveForm::CommandButton5_Click);
    connect(ui->TextBox3, &QLineEdit::textChanged, this, &StudentArchiveForm::TextBox3_Change);
}

StudentArchiveForm::~StudentArchiveForm() = default;

void StudentArchiveForm::CommandButton1_Click() {
    close();
}

void StudentArchiveForm::CommandButton2_Click() {
    if (const std::optional<int> number = typedNumber([this] { askForNumber(); }))
        lookUp(*number);
}

void StudentArchiveForm::CommandButton3_Click() {
    const std::optional<int> number = typedNumber([this] { tell(kCannotSave); });
    if (!number)
        return;
    const int row = layout::rowOf(*number);
    guarded(this, [&] {
        const QList<ArchiveField>& map = archiveFieldMap();
        for (qsizetype i = 0; i < map.size(); ++i)
            StudentWorkbook::writeRaw(layout::kArchiveSheet, layout::address(map[i].column, row),
                                      fields_[i]->text());
        StudentWorkbook::save();
    });
}

void StudentArchiveForm::CommandButton4_Click() {
    const std::optional<int> number = typedNumber([this] { askForNumber(); });
    if (!number)
        return;
    if (*number == layout::kMaxNumber) {  // the sheet's last row holds the last student
        tell(kNothingToLookUp);
        closingCheck();
        return;
    }
    lookUp(*number + 1);
}

// Before 1 there is nothing, and "0" counts as before 1 here rather than as a
// bad number.
void StudentArchiveForm::CommandButton5_Click() {
    if (isZero(ui->TextBox1->text())) {
        tell(kNothingToLookUp);
        closingCheck();
        return;
    }
    const std::optional<int> number = typedNumber([this] { askForNumber(); });
    if (!number)
        return;
    if (*number == 1) {
        tell(kNothingToLookUp);
        closingCheck();
        return;
    }
    lookUp(*number - 1);
}

std::optional<int> StudentArchiveForm::typedNumber(const std::function<void()>& whenEmpty) {
    const QString text = ui->TextBox1->text();
    if (text.isEmpty()) {
        whenEmpty();
        return std::nullopt;
    }
    const std::optional<int> number = numberBoxValue(text);
    if (!number)
        tell(kBadNumberMessage);
    return number;
}

void StudentArchiveForm::TextBox3_Change() {
    ui->TextBox48->setText(ui->TextBox3->text());
}

// The blank name it leaves keeps the closing check silent.
void StudentArchiveForm::askForNumber() {
    tell(kAskForNumber);
    ui->TextBox3->setText(QStringLiteral(" "));
    ui->TextBox48->setText(ui->TextBox3->text());
}

void StudentArchiveForm::lookUp(int number) {
    if (guarded(this, [&] { load(number); }))
        closingCheck();
}

void StudentArchiveForm::load(int number) {
    const int row = layout::rowOf(number);
    QStringList texts;
    for (const ArchiveField& field : archiveFieldMap())
        texts << StudentWorkbook::read(layout::kArchiveSheet, layout::address(field.column, row));
    // Column A fills the number box too: an empty cell leaves it empty.
    for (qsizetype i = 0; i < texts.size(); ++i) fields_[i]->setText(texts[i]);
    ui->TextBox48->setText(ui->TextBox3->text());
}

void StudentArchiveForm::closingCheck() {
    if (ui->TextBox3->text().isEmpty())
        tell(kNotWritten);
}

void StudentArchiveForm::tell(const QString& text) {
    showMessage(this, text, kFormTitle);
}

}  // namespace velmora::archive
