#include "comments/librarypicker.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace velmora::comments {

LibraryPicker::LibraryPicker(QPlainTextEdit& commentBox, QObject* parent)
    : QObject(parent), commentBox_(commentBox) {}

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
            pressMark_ = moves_;
            break;
        case QEvent::MouseMove:
            ++moves_;
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

void LibraryPicker::release(QPlainTextEdit& libraryBox) {
    if (moves_ - pressMark_ > 2) {
        libraryBox.copy();  // no selection: the clipboard keeps what it held
        pasteIntoComment();
    }
}

void LibraryPicker::pick(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    pasteIntoComment();
}

void LibraryPicker::pasteIntoComment() {
    commentBox_.paste();
    Q_EMIT picked(QGuiApplication::clipboard()->text());
}

}  // namespace velmora::comments
