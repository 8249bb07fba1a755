#include "common/closingquestion.h"

#include "common/guard.h"
#include "common/savequestion.h"

#include <QApplication>
#include <QCloseEvent>
#include <QWidget>

namespace velmora {

ClosingQuestion::ClosingQuestion(QWidget& window, std::function<bool()> edited,
                                 std::function<bool()> store)
    : QObject(&window), window_(window), edited_(std::move(edited)), store_(std::move(store)) {
    window.installEventFilter(this);
}

bool ClosingQuestion::closeEditedWindows() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* question = window->findChild<ClosingQuestion*>(QString(), Qt::FindDirectChildrenOnly);
        if (question && window->isVisible() && question->edited_() && !window->close())
            return false;
    }
    return true;
}

bool ClosingQuestion::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Close && !mayClose()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// A store that fails in the host is shown as a message, and the window stays.
bool ClosingQuestion::mayClose() {
    if (!edited_())
        return true;
    switch (askToStoreEdits(&window_)) {
        case SaveAnswer::Save: {
            bool stored = false;
            guarded(&window_, [&] { stored = store_(); });
            return stored;
        }
        case SaveAnswer::Discard:
            return true;
        case SaveAnswer::Cancel:
            break;
    }
    return false;
}

}  // namespace velmora
