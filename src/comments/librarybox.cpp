#include "comments/librarybox.h"

#include <QMouseEvent>
#include <QPlainTextEdit>

namespace velmora::comments {

namespace {

// Qt starts a text drag when the left button goes down on the selection and
// offers no switch for it; dropping the selection before the press reaches
// the box makes the press start a new selection instead.
class NewSelectionOnPress : public QObject {
public:
    explicit NewSelectionOnPress(QPlainTextEdit& box) : QObject(&box), box_(box) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && !(mouse->modifiers() & Qt::ShiftModifier)) {
                QTextCursor cursor = box_.textCursor();
                cursor.clearSelection();
                box_.setTextCursor(cursor);
            }
        }
        return false;
    }

private:
    QPlainTextEdit& box_;
};

}  // namespace

void setUpLibraryBox(QPlainTextEdit& box, const QString& text, bool dragsOut) {
    box.setPlainText(text);
    box.setContextMenuPolicy(Qt::NoContextMenu);

    QPalette palette = box.palette();
    if (dragsOut) {
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Active, QPalette::Highlight));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::HighlightedText));
    } else {
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Inactive, QPalette::Base));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Inactive, QPalette::Text));
        box.viewport()->installEventFilter(new NewSelectionOnPress(box));
    }
    box.setPalette(palette);
}

}  // namespace velmora::comments
