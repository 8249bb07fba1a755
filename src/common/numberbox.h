#pragma once

#include <QString>
#include <optional>

namespace velmora {

// The message for a number box that holds something other than a whole
// number from 1 to 65535.
inline const QString kBadNumberMessage = QStringLiteral("序号应为正整数，请重新填写!");

// The student or entry number in a number box's text (see layout::parseNumber).
std::optional<int> numberBoxValue(const QString& text);
// How a number is written back into a number box: plain decimal, "8".
QString numberBoxText(int number);

}  // namespace velmora
