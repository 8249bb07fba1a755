#include "workbook/render/fontfaces.h"

#include <QFont>
#include <QStringList>

namespace velmora {

void installFontSubstitutions() {
    const QStringList faces = {QStringLiteral("AR PL UMing CN"),
                               QStringLiteral("Noto Serif CJK SC"),
                               QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), faces);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
}

QString fontFamily(const QString& family, bool bold) {
    if (bold && (family == QStringLiteral("宋体") || family == QLatin1String("SimSun")))
        return QStringLiteral("Noto Serif CJK SC");
    return family;
}

}  // namespace velmora
