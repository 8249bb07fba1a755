#pragma once

#include <functional>

class QAbstractButton;
class QWidget;

namespace velmora {

// Runs a handler's body; a failure of the spreadsheet host inside it is shown
// as a message and the program keeps running. Returns false when it failed.
bool guarded(QWidget* parent, const std::function<void()>& body);

// A click on the button runs the handler, guarded, its messages over window.
void onClick(QAbstractButton* button, QWidget* window, std::function<void()> handler);

template <class Window>
void onClick(QAbstractButton* button, Window* window, void (Window::*handler)()) {
    onClick(button, window, [window, handler] { (window->*handler)(); });
}

}  // namespace velmora
