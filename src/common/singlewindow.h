#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace velmora {

// The one instance of window type W: created when first asked for, shown and
// raised every time. Closing deletes it, so the next request builds a fresh
// window with its design-time texts.
template <class W>
W* showSingle() {
    static QPointer<W> window;
    if (!window) {
        window = new W();
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

// The living instance of W, if any (without creating one).
template <class W>
W* existingWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* typed = qobject_cast<W*>(w))
            return typed;
    return nullptr;
}

}  // namespace velmora
