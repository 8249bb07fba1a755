#pragma once

#include "comments/classcomments.h"
#include "comments/reuseindex.h"
#include "common/numberstepper.h"
#include "common/rowbinding.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

namespace Ui {
class UserForm7;
}

namespace velmora::comments {

class ClassOverview;
class LibraryPicker;

// The comment writer "写评语": one student's end-of-term comment, composed in
// the comment box from the built-in library and the teacher's own phrases,
// and stored in column AM of "写评语"; the own phrases live in "Sheet1", one
// column per grade type.
class CommentWriterForm : public QWidget {
    Q_OBJECT
public:
    explicit CommentWriterForm(QWidget* parent = nullptr);
    ~CommentWriterForm() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The student in the number box (every change of it, typed or stepped):
    // the comment box empties, the identity display shows who it is.
    void showIdentity(int number);
    void loadComment();
    bool storeComment();  // and save the workbook; false when refused
    void showHelp();
    // The own comment library (commentwriterentries.cpp).
    void loadEntry();
    bool storeEntry();  // and save the workbook; false when refused
    void moveCommentToEditor();
    void moveEditorToComment();

    // Steps to the student: the number box first, then the comment and the
    // identity; then the closing check.
    void showStudent(int number);
    void closingCheck();
    QString comment() const;
    void setComment(const QString& text);
    void setUpGradeType();
    // The own library's column for the grade type in ComboBox1, if any.
    std::optional<QString> gradeColumn();
    // The editor bound to the library entry in this column; a binding to
    // another column than the last one has shown no row of it yet.
    RowBinding& entryIn(const QString& column);
    void loadEntry(int number);
    void showEntry(int number);
    // Closing with text not stored: 存入 stores the comment and the library
    // entry, each where it differs from what was loaded or stored.
    bool storeEdits();

    // The writing aids beside the window (commentwriteraids.cpp): the length
    // counter and the reuse line under the comment, the library search, the
    // class overview. They read the class's comments and the own library
    // when the window opens and after each store of them, never per
    // keystroke, and write nothing.
    void setUpAids();
    void readClass();
    void readOwnLibrary();
    void showLengthAndReuse();
    void searchLibrary();
    void openOverview();
    // From the overview: the student is looked up as with "调该生已有评语修改".
    void openStudent(int number);

    std::unique_ptr<Ui::UserForm7> ui;
    NumberStepper student_;
    NumberStepper entry_;
    RowField commentBox_;  // 写评语 AM
    RowField editor_;      // the own-library editor, in the column of entryColumn_
    RowBinding identity_;  // 写评语 B, 学生档案 B after "学号:"
    RowBinding comment_;   // the comment box
    RowBinding stepped_;   // the comment, then the identity
    RowBinding entryText_;  // the editor
    QString entryColumn_;

    LibraryPicker* picker_ = nullptr;
    QList<StudentComment> class_;
    ReuseIndex reuse_;
    QStringList ownSentences_;
    QString lastPick_;  // shown first in the reuse line
    QPointer<ClassOverview> overview_;
};

}  // namespace velmora::comments
