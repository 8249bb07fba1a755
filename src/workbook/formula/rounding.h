#pragma once

// Rounding to decimal places as spreadsheet programs do it: on the number
// as it shows with 15 significant digits, so that 2.675 rounds to 2.68
// although its binary value lies a hair below.
namespace velmora::formula {

enum class Rounding { HalfAwayFromZero, Up, Down };

double roundDigits(double x, int digits, Rounding mode);

}  // namespace velmora::formula
