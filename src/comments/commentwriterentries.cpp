#include "comments/commentwriterform.h"
#include "common/messages.h"
#include "common/plaintext.h"
#include "ui_commentwriterform.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

// The own comment library: numbered entries per grade type in "Sheet1".
namespace velmora::comments {

using namespace velmora::layout;

namespace {
const QString kChooseType = QStringLiteral("请先在类型中选择评语类型！！");
const QString kLoadFirst = QStringLiteral("请先调入评语");
const QString kUnseenEntry =
    QStringLiteral("评语库第%1条已有内容，请先点“调我的评语库”查看，再修改保存。");
// The grade type before one is chosen.
const QString kNoType = QStringLiteral("类型");
}  // namespace

// "类型" until the teacher picks one of the three grade types (or types one).
void CommentWriterForm::setUpGradeType() {
    ui->ComboBox1->addItems({QStringLiteral("优"), QStringLiteral("良"), QStringLiteral("差")});
    ui->ComboBox1->setCurrentIndex(-1);
    ui->ComboBox1->setEditText(kNoType);
}

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

RowBinding& CommentWriterForm::entryIn(const QString& column) {
    if (column != entryColumn_) {
        RowField field = editor_;
        field.column = column;
        entryText_ = RowBinding({field});
        entryColumn_ = column;
    }
    return entryText_;
}

void CommentWriterForm::loadEntry(int number) {
    if (const auto column = gradeColumn())
        entryIn(*column).load(number);
}

void CommentWriterForm::loadEntry() {
    if (const std::optional<int> number = entry_.current())
        loadEntry(*number);
}

// The entry number changes even when the grade type selects no column.
void CommentWriterForm::showEntry(int number) {
    entry_.show(number);
    loadEntry(number);
}

// Saves the workbook also when the grade type selected no column; nothing is
// written then, which a close waiting for this store takes as a refusal. An
// entry is written over only from the editor it was loaded into: the number
// box or the grade type may name another one.
bool CommentWriterForm::storeEntry() {
    if (plainText(*ui->TextBox21).isEmpty()) {
        showMessage(this, kLoadFirst);
        return false;
    }
    const std::optional<int> number = entry_.current();
    if (!number)
        return false;
    const std::optional<QString> column = gradeColumn();
    if (column && entryIn(*column).holdsUnseenText(*number)) {
        showMessage(this, kUnseenEntry.arg(*number));
        return false;
    }
    if (column)
        entryIn(*column).store(*number);
    StudentWorkbook::save();
    if (column)
        readOwnLibrary();
    return column.has_value();
}

void CommentWriterForm::moveCommentToEditor() {
    ui->TextBox21->setPlainText(comment());
}

void CommentWriterForm::moveEditorToComment() {
    ui->TextBox13->setPlainText(plainText(*ui->TextBox21));
}

}  // namespace velmora::comments
