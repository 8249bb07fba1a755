#pragma once

#include "workbook/saveanswer.h"

#include <QString>
#include <QStringList>

class QMessageBox;
class QWidget;

namespace velmora {

// Asked when the program ends and the workbook has changes its file lacks.
SaveAnswer askToSaveChanges(QWidget* parent, const QString& fileName);

// Asked when a window that writes rows closes while a box holds text that
// differs from what was loaded or stored.
SaveAnswer askToStoreEdits(QWidget* window);

// The question box itself, with its three buttons, not yet shown; and what
// the teacher answered once it has been closed.
QMessageBox* saveQuestionBox(QWidget* parent, const QString& text, const QString& save,
                             const QString& discard);
SaveAnswer answerOf(QMessageBox& box);

// Tests install one: while it lives, every question is recorded and answered
// with the given answer instead of opening a modal box.
class QuestionAnswerer {
public:
    explicit QuestionAnswerer(SaveAnswer answer);
    ~QuestionAnswerer();
    QuestionAnswerer(const QuestionAnswerer&) = delete;
    QuestionAnswerer& operator=(const QuestionAnswerer&) = delete;

    void answerWith(SaveAnswer answer) { answer_ = answer; }
    // The texts of the questions asked, in order.
    const QStringList& asked() const { return asked_; }

private:
    friend SaveAnswer ask(QWidget*, const QString&, const QString&, const QString&);
    SaveAnswer answer_;
    QStringList asked_;
};

}  // namespace velmora
