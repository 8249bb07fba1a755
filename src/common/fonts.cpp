#include "common/fonts.h"

#include <QStringList>

namespace velmora {

void installFontSubstitutions() {
    const QStringList faces = {QStringLiteral("AR PL UMing CN"),
                               QStringLiteral("Noto Serif CJK SC"),
                               QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), faces);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
}

QFont songFont(double points, bool bold) {
    QFont f(QStringLiteral("宋体"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

}  // namespace velmora
