#pragma once

#include <QString>

namespace velmora {

// True for a number format code that shows dates or times ("yyyy-m-d",
// "[$-804]yyyy\"年\"m\"月\"", "h:mm"), false for numbers, text and General.
// Both hosts turn a number shown with such a format into a date's text.
bool isDateFormatCode(const QString& code);

}  // namespace velmora
