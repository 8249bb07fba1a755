#include "comments/classoverview.h"
#include "comments/commentlength.h"
#include "comments/commentwriterform.h"
#include "comments/librarypicker.h"
#include "comments/librarysearch.h"
#include "common/guard.h"
#include "common/numberbox.h"
#include "common/savequestion.h"
#include "ui_commentwriterform.h"
#include "workbook/connection.h"

// The writing aids: what helps a teacher write fifty comments in an evening
// without changing what the window stores.
namespace velmora::comments {

void CommentWriterForm::setUpAids() {
    connect(ui->TextBox13, &QPlainTextEdit::textChanged, this,
            &CommentWriterForm::showLengthAndReuse);
    // The number names the student whose own stored comment is no reuse.
    connect(ui->TextBox12, &QLineEdit::textChanged, this, &CommentWriterForm::showLengthAndReuse);
    connect(picker_, &LibraryPicker::picked, this, [this](const QString& text) {
        lastPick_ = text;
        showLengthAndReuse();
    });
    connect(ui->LibrarySearch, &QLineEdit::textChanged, this, &CommentWriterForm::searchLibrary);
    connect(ui->SearchResults, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { picker_->pick(item->text()); });
    onClick(ui->OverviewButton, this, &CommentWriterForm::openOverview);
    // A window made without a workbook (none is open yet) has no class to read.
    if (StudentWorkbook::isOpen()) {
        readClass();
        readOwnLibrary();
    }
    showLengthAndReuse();
}

// A refused read keeps what was read before; the aids never stop a store.
void CommentWriterForm::readClass() {
    guarded(this, [this] {
        class_ = readClassComments();
        reuse_ = ReuseIndex(class_);
    });
    showLengthAndReuse();
    if (overview_)
        overview_->showClass(class_, reuse_);
}

void CommentWriterForm::readOwnLibrary() {
    guarded(this, [this] { ownSentences_ = readOwnSentences(); });
    searchLibrary();
}

void CommentWriterForm::showLengthAndReuse() {
    const QString text = comment();
    showCommentLength(*ui->CommentLength, text);
    // What was just picked comes first, and counts even where the comment
    // runs on into it without an end mark: the line tells at once where the
    // pick stands.
    const bool pickStands = !lastPick_.isEmpty() && text.contains(lastPick_);
    const QString checked = pickStands ? lastPick_ + u'\n' + text : text;
    const QList<Reuse> reuses =
        reuse_.reusesIn(checked, numberBoxValue(ui->TextBox12->text()));
    ui->CommentReuse->setText(reuseLine(reuses));
    ui->CommentReuse->setToolTip(reuseDetails(reuses));
}

void CommentWriterForm::searchLibrary() {
    ui->SearchResults->clear();
    ui->SearchResults->addItems(
        matchingSentences(ownSentences_ + builtInSentences(), ui->LibrarySearch->text()));
}

void CommentWriterForm::openOverview() {
    if (!overview_) {
        overview_ = new ClassOverview(this);
        overview_->setAttribute(Qt::WA_DeleteOnClose);
        connect(overview_, &ClassOverview::studentChosen, this,
                [this](int number) { guarded(this, [&] { openStudent(number); }); });
    }
    overview_->showClass(class_, reuse_);
    overview_->show();
    overview_->raise();
    overview_->activateWindow();
}

// Another student replaces the comment box: typed text is offered for
// storing first, as when the window closes.
void CommentWriterForm::openStudent(int number) {
    if (comment_.edited()) {
        const SaveAnswer answer = askToStoreEdits(this);
        if (answer == SaveAnswer::Cancel || (answer == SaveAnswer::Save && !storeComment()))
            return;
    }
    student_.show(number);
    loadComment();
    raise();
    activateWindow();
}

}  // namespace velmora::comments
