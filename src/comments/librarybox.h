#pragma once

#include <QString>

class QPlainTextEdit;

namespace velmora::comments {

// Makes a box one of the twelve library boxes: its built-in text, no context
// menu (every mouse button picks), and the selection rule of its kind. A box
// that drags out keeps its selection visible without the focus and lets a
// selected passage be dragged away; the others hide the selection without
// the focus, and a press on the selection starts a new one.
void setUpLibraryBox(QPlainTextEdit& box, const QString& text, bool dragsOut);

}  // namespace velmora::comments
