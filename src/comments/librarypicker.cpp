#include "comments/librarypicker.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace velmora::comments {

LibraryPicker::LibraryPicker(QLineEdit& moveCounter, QPlainTextEdit& commentBox, QObject* parent)
    : QObject(parent), counter_(moveCounter), commentBox_(commentBox) {}

void LibraryPicker::watch(QPlainTextEdit& libraryBox) {
    // Moves count whether a button is down or not.
    libraryBox.viewport()->setMouseTracking(true);
    libraryBox.viewport()->installEventFilter(this);
}

// The events arrive at the box's viewport, before the box handles them; the
// box's selection is then the one the last move made.
bool LibraryPicker::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QPlainTextEdit*>(watched->parent());
    if (!box)
        return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            press();
            break;
        case QEvent::MouseMove:
            move();
            break;
        case QEvent::MouseButtonRelease:
            release(*box);
            break;
        default:
            return false;
    }
    // The middle button picks too; it must not also paste the X11 selection
    // into the library box itself.
    return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
}

void LibraryPicker::press() {
    pressMark_ = counter_.text();
}

void LibraryPicker::move() {
    counter_.setText(QString::number(counter_.text().toLongLong() + 1));
}

void LibraryPicker::release(QPlainTextEdit& libraryBox) {
    // An empty mark counts as 0.
    const qint64 moves = counter_.text().toLongLong() - pressMark_.toLongLong();
    if (moves > 2) {
        libraryBox.copy();  // no selection: the clipboard keeps what it held
        commentBox_.paste();
    }
}

}  // namespace velmora::comments
