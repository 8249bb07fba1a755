#include "comments/commentwriterform.h"

#include "comments/commentmessages.h"
#include "comments/commentwriterlook.h"
#include "comments/librarybox.h"
#include "comments/librarypicker.h"
#include "comments/librarytexts.h"
#include "common/guard.h"
#include "common/messages.h"
#include "common/numberbox.h"
#include "common/plaintext.h"
#include "ui_commentwriterform.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QMouseEvent>
#include <QSignalBlocker>

namespace velmora::comments {

using namespace velmora::layout;

namespace {
const QString kRollLabel = QStringLiteral("学号:");

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
    : QWidget(parent), ui(std::make_unique<Ui::UserForm7>()) {
    ui->setupUi(this);
    applyCommentWriterLook(*ui, *this);

    auto* picker = new LibraryPicker(*ui->TextBox24, *ui->TextBox13, this);
    for (const QString& name : libraryBoxNames()) {
        auto* box = findChild<QPlainTextEdit*>(name);
        setUpLibraryBox(*box, libraryText(name), name == QStringLiteral("TextBox17"));
        picker->watch(*box);
    }

    connect(ui->TextBox12, &QLineEdit::textChanged, this, &CommentWriterForm::TextBox12_Change);
    connect(ui->CommandButton6, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton6_Click);
    connect(ui->CommandButton4, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton4_Click);
    connect(ui->CommandButton5, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton5_Click);
    connect(ui->CommandButton7, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton7_Click);
    connect(ui->CommandButton2, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton2_Click);
    connect(ui->CommandButton9, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton9_Click);
    connect(ui->CommandButton8, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton8_Click);
    connect(ui->CommandButton10, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton10_Click);
    connect(ui->CommandButton11, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton11_Click);
    connect(ui->CommandButton12, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton12_Click);
    connect(ui->CommandButton13, &QPushButton::clicked, this,
            &CommentWriterForm::CommandButton13_Click);
    ui->Label9->installEventFilter(this);

    UserForm_Initialize();
}

CommentWriterForm::~CommentWriterForm() = default;

bool CommentWriterForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Label9 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            ui->Label9->rect().contains(mouse->position().toPoint())) {
            Label9_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CommentWriterForm::UserForm_Initialize() {
    ui->ComboBox1->addItems({QStringLiteral("优"), QStringLiteral("良"), QStringLiteral("差")});
    ui->ComboBox1->setCurrentIndex(-1);
    ui->ComboBox1->setEditText(kNoType);
    for (QPlainTextEdit* box :
         {ui->TextBox9, ui->TextBox8, ui->TextBox7, ui->TextBox2, ui->TextBox3, ui->TextBox4,
          ui->TextBox5, ui->TextBox6, ui->TextBox17, ui->TextBox18, ui->TextBox19, ui->TextBox21})
        box->moveCursor(QTextCursor::Start);
}

std::optional<int> CommentWriterForm::checkedNumber(const QLineEdit* box) {
    const auto number = numberBoxValue(box->text());
    if (!number)
        showMessage(this, kBadNumberMessage);
    return number;
}

QString CommentWriterForm::comment() const {
    return plainText(*ui->TextBox13);
}

void CommentWriterForm::setComment(const QString& text) {
    ui->TextBox13->setPlainText(text);
}

void CommentWriterForm::closingCheck() {
    if (comment().isEmpty())
        showMessage(this, kNotWrittenYet);
}

// Runs on every change of the number box. While the box holds no valid
// number (half typed, deleted) nothing changes and nothing is said.
void CommentWriterForm::TextBox12_Change() {
    const auto number = numberBoxValue(ui->TextBox12->text());
    if (number)
        guarded(this, [&] { showStudent(*number); });
}

void CommentWriterForm::showStudent(int number) {
    const int row = rowOf(number);
    setComment(QString());
    ui->TextBox14->setText(
        StudentWorkbook::read(kCommentsSheet, address(kCommentsIdentityColumn, row)));
    ui->TextBox20->setText(kRollLabel +
                           StudentWorkbook::read(kArchiveSheet, address(kArchiveRollColumn, row)));
}

// Steps the number box; Show the student runs right here, inside the
// operation, so that a host failure is reported once, by that operation.
void CommentWriterForm::setStudentNumber(int number) {
    {
        const QSignalBlocker quiet(ui->TextBox12);
        ui->TextBox12->setText(numberBoxText(number));
    }
    showStudent(number);
}

void CommentWriterForm::loadStudent(int number) {
    const int row = rowOf(number);
    setComment(StudentWorkbook::read(kCommentsSheet, address(kCommentColumn, row)));
    ui->TextBox14->setText(
        StudentWorkbook::read(kCommentsSheet, address(kCommentsIdentityColumn, row)));
    ui->TextBox20->setText(kRollLabel +
                           StudentWorkbook::read(kArchiveSheet, address(kArchiveRollColumn, row)));
}

void CommentWriterForm::CommandButton6_Click() {
    guarded(this, [this] {
        if (ui->TextBox12->text().isEmpty()) {
            showMessage(this, kNoNumber);
            setComment(QStringLiteral(" "));
            closingCheck();
            return;
        }
        const auto number = checkedNumber(ui->TextBox12);
        if (!number)
            return;
        setComment(StudentWorkbook::read(kCommentsSheet, address(kCommentColumn, rowOf(*number))));
        closingCheck();
    });
}

void CommentWriterForm::CommandButton4_Click() {
    guarded(this, [this] {
        if (ui->TextBox12->text().isEmpty()) {
            showMessage(this, kNoNumber);
            return;
        }
        const auto number = checkedNumber(ui->TextBox12);
        if (!number)
            return;
        const QString text = comment();
        if (text.isEmpty()) {
            showMessage(this, kNotWritten);
            return;
        }
        StudentWorkbook::writeRaw(kCommentsSheet, address(kCommentColumn, rowOf(*number)), text);
        StudentWorkbook::save();
    });
}

void CommentWriterForm::CommandButton5_Click() {
    stepStudent(-1);
}

void CommentWriterForm::CommandButton7_Click() {
    stepStudent(+1);
}

// Previous and next: from 1 there is nothing before, and nothing after the
// last number a sheet row can hold.
void CommentWriterForm::stepStudent(int step) {
    guarded(this, [this, step] {
        if (ui->TextBox12->text().isEmpty()) {
            showMessage(this, kNoNumber);
            setComment(QStringLiteral(" "));
            return;
        }
        const auto number = checkedNumber(ui->TextBox12);
        if (!number)
            return;
        const int next = *number + step;
        if (next < 1 || next > kMaxNumber) {
            showMessage(this, kNothingThere);
        } else {
            setStudentNumber(next);
            loadStudent(next);
        }
        closingCheck();
    });
}

void CommentWriterForm::CommandButton2_Click() {
    close();
}

void CommentWriterForm::Label9_Click() {
    showMessage(this, kHelpText, kHelpTitle);
}

}  // namespace velmora::comments
