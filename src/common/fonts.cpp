#include "common/fonts.h"

namespace velmora {

QFont songFont(double points, bool bold) {
    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

}  // namespace velmora
