#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace velmora::comments {

// Picking from the library boxes: a press, three or more mouse moves and a
// release in a library box copy its selection to the clipboard and paste the
// clipboard into the comment box at its insertion point; a plain click does
// nothing. Moves are counted in the form's hidden counter box, shared by all
// library boxes and never reset; a press marks the counter, a release
// compares with the mark. Every mouse button behaves alike.
class LibraryPicker : public QObject {
    Q_OBJECT
public:
    LibraryPicker(QLineEdit& moveCounter, QPlainTextEdit& commentBox, QObject* parent);

    // Picks from this box from now on.
    void watch(QPlainTextEdit& libraryBox);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void press();
    void move();
    void release(QPlainTextEdit& libraryBox);

    QLineEdit& counter_;
    QPlainTextEdit& commentBox_;
    QString pressMark_;  // the counter's text at the last press; empty before the first
};

}  // namespace velmora::comments
