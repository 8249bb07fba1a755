#pragma once

#include <functional>

class QWidget;

namespace velmora {

// Runs a handler's body; a failure of the spreadsheet host inside it is shown
// as a message and the program keeps running. Returns false when it failed.
bool guarded(QWidget* parent, const std::function<void()>& body);

}  // namespace velmora
