#pragma once

#include <QObject>

class QPlainTextEdit;

namespace velmora::comments {

// Picking from the library boxes: a press, three or more mouse moves and a
// release in a library box copy its selection to the clipboard and paste the
// clipboard into the comment box at its insertion point; a plain click does
// nothing. Moves are counted once for all library boxes and never reset; a
// press marks the count, a release compares with the mark. Every mouse
// button behaves alike.
class LibraryPicker : public QObject {
    Q_OBJECT
public:
    LibraryPicker(QPlainTextEdit& commentBox, QObject* parent);

    // Picks from this box from now on.
    void watch(QPlainTextEdit& libraryBox);
    // Picks this text as if it were selected in a library box: it goes to the
    // clipboard and from there into the comment box.
    void pick(const QString& text);

    // The move count: 1 when the window opens, one more for every mouse move
    // over a library box.
    qint64 moveCount() const { return moves_; }

Q_SIGNALS:
    // A pick put this text into the comment box.
    void picked(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void release(QPlainTextEdit& libraryBox);
    void pasteIntoComment();

    QPlainTextEdit& commentBox_;
    qint64 moves_ = 1;
    qint64 pressMark_ = 0;  // the count at the last press; 0 before the first
};

}  // namespace velmora::comments
