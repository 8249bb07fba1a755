#pragma once

#include <QWidget>
#include <memory>

namespace velmora {

// The controls of a window drawn in a Qt Designer form (Form is the class
// uic made of its .ui file), set up on the window; for a window's member
// initializers, so that members built from the controls follow it.
template <class Form, class Window>
std::unique_ptr<Form> setUpForm(Window* window) {
    auto form = std::make_unique<Form>();
    form->setupUi(window);
    return form;
}

}  // namespace velmora
