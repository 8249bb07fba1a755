#include "saver/polar.h"

#include <cmath>

namespace velmora::saver {

namespace {
// The figures were designed with this value of pi; it decides on which side
// of a half some offsets fall, so it is kept.
constexpr double kPi = 3.14159265;
}  // namespace

int roundHalfEven(double value) {
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return static_cast<int>(whole);
}

QPoint polarOffset(double length, int degrees) {
    // The remainder keeps the sign of the angle: -10 stays -10.
    const double rad = (degrees % 360) * kPi / 180;
    return QPoint(roundHalfEven(length * std::cos(rad)), roundHalfEven(length * std::sin(rad)));
}

}  // namespace velmora::saver
