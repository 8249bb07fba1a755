#include "comments/commentwriterform.h"

#include "comments/librarybox.h"
#include "comments/librarypicker.h"
#include "comments/librarytexts.h"
#include "common/closingquestion.h"
#include "common/designerform.h"
#include "common/guard.h"
#include "common/messages.h"
#include "common/plaintext.h"
#include "common/tooltipcolour.h"
#include "ui_commentwriterform.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QMouseEvent>

namespace velmora::comments {

using namespace velmora::layout;

namespace {
const QString kNotWritten = QStringLiteral("该生评语没书写!不能保存!");
const QString kNotWrittenYet = QStringLiteral("该生评语还没书写!");

const QString kHelpText =
    QStringList{
        QStringLiteral("1、先按住左键拖动选择要写的评语内容.再松开左键."),
        QStringLiteral(" 选择的内容即可到上面的写评语框中."),
        QStringLiteral(" 并可在写评语框进行修改,输入内容."),
        QStringLiteral(" 当该生评语内容全部写好后,点按钮[好!写到EXCEL].   "),
        QStringLiteral(" 2、友情提醒:请在评语库中选取内容时不要单击!!"),
        QStringLiteral(" 否则上面写评语中将会重复粘贴上一次内容.应按下左键选取文字后,再松开左键.")}
        .join(QStringLiteral("\n\n"));
}  // namespace

CommentWriterForm::CommentWriterForm(QWidget* parent)
    : QWidget(parent),
      ui(setUpForm<Ui::UserForm7>(this)),
      student_(*ui->TextBox12, *this),
      entry_(*ui->TextBox22, *this),
      commentBox_(RowField::of(kCommentsSheet, kCommentColumn, *ui->TextBox13)),
      editor_(RowField::of(kListsSheet, QString(), *ui->TextBox21)) {
    fillWithToolTipColour(*ui->Label9);

    const QList<RowField> identity = {
        RowField::of(kCommentsSheet, kCommentsIdentityColumn, *ui->TextBox14),
        RowField::of(kArchiveSheet, kArchiveRollColumn, *ui->TextBox20, QStringLiteral("学号:"))};
    identity_ = RowBinding(identity);
    comment_ = RowBinding({commentBox_});
    stepped_ = RowBinding(QList<RowField>{commentBox_} + identity);

    student_.askWhenEmpty([this] { setComment(QStringLiteral(" ")); });
    student_.afterNothingToLookUp([this] { closingCheck(); });
    student_.follow([this](int number) { showIdentity(number); });

    picker_ = new LibraryPicker(*ui->TextBox13, this);
    for (const QString& name : libraryBoxNames()) {
        auto* box = findChild<QPlainTextEdit*>(name);
        setUpLibraryBox(*box, libraryText(name), name == QStringLiteral("TextBox17"));
        picker_->watch(*box);
    }
    setUpGradeType();
    for (QPlainTextEdit* box :
         {ui->TextBox9, ui->TextBox8, ui->TextBox7, ui->TextBox2, ui->TextBox3, ui->TextBox4,
          ui->TextBox5, ui->TextBox6, ui->TextBox17, ui->TextBox18, ui->TextBox19, ui->TextBox21})
        box->moveCursor(QTextCursor::Start);

    onClick(ui->CommandButton6, this, &CommentWriterForm::loadComment);
    onClick(ui->CommandButton4, this, [this] { storeComment(); });
    student_.stepWith(*ui->CommandButton5, *ui->CommandButton7,
                      [this](int number) { showStudent(number); });
    connect(ui->CommandButton2, &QPushButton::clicked, this, &QWidget::close);
    onClick(ui->CommandButton9, this, &CommentWriterForm::loadEntry);
    onClick(ui->CommandButton8, this, [this] { storeEntry(); });
    entry_.stepWith(*ui->CommandButton10, *ui->CommandButton11,
                    [this](int number) { showEntry(number); });
    onClick(ui->CommandButton12, this, &CommentWriterForm::moveCommentToEditor);
    onClick(ui->CommandButton13, this, &CommentWriterForm::moveEditorToComment);
    ui->Label9->installEventFilter(this);
    new ClosingQuestion(
        *this, [this] { return comment_.edited() || editor_.edited(); },
        [this] { return storeEdits(); });
    setUpAids();
}

CommentWriterForm::~CommentWriterForm() = default;

// Label9 is clicked when the left button is let go over it.
bool CommentWriterForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Label9 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            ui->Label9->rect().contains(mouse->position().toPoint())) {
            showHelp();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString CommentWriterForm::comment() const {
    return plainText(*ui->TextBox13);
}

// A text the window gives the comment box itself.
void CommentWriterForm::setComment(const QString& text) {
    commentBox_.show(text);
}

void CommentWriterForm::closingCheck() {
    if (comment().isEmpty())
        showMessage(this, kNotWrittenYet);
}

void CommentWriterForm::showIdentity(int number) {
    setComment(QString());
    identity_.load(number);
}

void CommentWriterForm::loadComment() {
    if (const std::optional<int> number = student_.current()) {
        comment_.load(*number);
        closingCheck();
    }
}

bool CommentWriterForm::storeComment() {
    const std::optional<int> number =
        student_.current([this] { showMessage(this, kAskForNumberMessage); });
    if (!number)
        return false;
    if (comment().isEmpty()) {
        showMessage(this, kNotWritten);
        return false;
    }
    comment_.store(*number);
    StudentWorkbook::save();
    readClass();
    return true;
}

void CommentWriterForm::showStudent(int number) {
    student_.show(number);
    stepped_.load(number);
    closingCheck();
}

bool CommentWriterForm::storeEdits() {
    if (comment_.edited() && !storeComment())
        return false;
    return !editor_.edited() || storeEntry();
}

void CommentWriterForm::showHelp() {
    showMessage(this, kHelpText, kHelpTitle);
}

}  // namespace velmora::comments
