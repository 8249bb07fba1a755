#include "comments/commentmessages.h"
#include "comments/commentwriterform.h"
#include "common/plaintext.h"
#include "common/guard.h"
#include "common/messages.h"
#include "common/numberbox.h"
#include "ui_commentwriterform.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

// The own comment library: numbered entries per grade type in "Sheet1".
namespace velmora::comments {

using namespace velmora::layout;

// The column of the grade type in ComboBox1; "类型" is reminded of but
// does not stop the operation, any other text selects nothing.
std::optional<QString> CommentWriterForm::gradeColumn() {
    if (ui->ComboBox1->currentText() == kNoType)
        showMessage(this, kChooseType);
    if (ui->ComboBox1->currentText() == QStringLiteral("优"))
        return kLibraryGoodColumn;
    if (ui->ComboBox1->currentText() == QStringLiteral("良"))
        return kLibraryFairColumn;
    if (ui->ComboBox1->currentText() == QStringLiteral("差"))
        return kLibraryPoorColumn;
    return std::nullopt;
}

void CommentWriterForm::loadEntry(int number) {
    if (const auto column = gradeColumn())
        ui->TextBox21->setPlainText(
            StudentWorkbook::read(kListsSheet, address(*column, rowOf(number))));
}

void CommentWriterForm::CommandButton9_Click() {
    guarded(this, [this] {
        if (const auto number = checkedNumber(ui->TextBox22))
            loadEntry(*number);
    });
}

// No upper bound but the last number a sheet row can hold.
void CommentWriterForm::CommandButton11_Click() {
    guarded(this, [this] {
        const auto number = checkedNumber(ui->TextBox22);
        if (!number)
            return;
        if (*number >= kMaxNumber) {
            showMessage(this, kNothingThere);
            return;
        }
        ui->TextBox22->setText(numberBoxText(*number + 1));
        loadEntry(*number + 1);
    });
}

void CommentWriterForm::CommandButton10_Click() {
    guarded(this, [this] {
        const auto number = checkedNumber(ui->TextBox22);
        if (!number)
            return;
        if (*number <= 1) {
            showMessage(this, kNothingThere);
            return;
        }
        ui->TextBox22->setText(numberBoxText(*number - 1));
        loadEntry(*number - 1);
    });
}

// Saves the workbook also when the grade type selected no column.
void CommentWriterForm::CommandButton8_Click() {
    guarded(this, [this] {
        const QString entry = plainText(*ui->TextBox21);
        if (entry.isEmpty()) {
            showMessage(this, kLoadFirst);
            return;
        }
        const auto number = checkedNumber(ui->TextBox22);
        if (!number)
            return;
        if (const auto column = gradeColumn())
            StudentWorkbook::writeRaw(kListsSheet, address(*column, rowOf(*number)), entry);
        StudentWorkbook::save();
    });
}

void CommentWriterForm::CommandButton12_Click() {
    ui->TextBox21->setPlainText(comment());
}

void CommentWriterForm::CommandButton13_Click() {
    setComment(plainText(*ui->TextBox21));
}

}  // namespace velmora::comments
