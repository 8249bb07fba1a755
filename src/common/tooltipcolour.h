#pragma once

class QWidget;

namespace velmora {

// Fills the widget's background with the desktop's tooltip colour (the
// welcome window, the comment writer's help mark): a colour of the running
// desktop, which a .ui form cannot name.
void fillWithToolTipColour(QWidget& widget);

}  // namespace velmora
