#include "common/tooltipcolour.h"

#include <QWidget>

namespace velmora {

void fillWithToolTipColour(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::ToolTipBase));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

}  // namespace velmora
