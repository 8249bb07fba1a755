#include "common/numberbox.h"

#include "workbook/layout.h"

namespace velmora {

std::optional<int> numberBoxValue(const QString& text) {
    return layout::parseNumber(text);
}

QString numberBoxText(int number) {
    return QString::number(number);
}

}  // namespace velmora
