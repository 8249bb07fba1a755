#include "workbook/formula/rounding.h"

#include "workbook/formula/value.h"

#include <cmath>

namespace velmora::formula {

double roundDigits(double x, int digits, Rounding mode) {
    if (x == 0 || !std::isfinite(x) || digits > 300 || digits < -308)
        return digits < -308 ? 0 : x;
    const double scale = std::pow(10.0, std::abs(digits));
    const double a = std::fabs(x);
    double y = digits >= 0 ? a * scale : a / scale;
    // Within the last bits of a whole number: that number.
    const double nearest = std::round(y);
    if (nearlyEqual(y, nearest))
        y = nearest;
    double r = 0;
    switch (mode) {
        case Rounding::HalfAwayFromZero: {
            const double below = std::floor(y);
            r = nearlyEqual(y - below, 0.5) || y - below > 0.5 ? below + 1 : below;
            break;
        }
        case Rounding::Up:
            r = std::ceil(y);
            break;
        case Rounding::Down:
            r = std::floor(y);
            break;
    }
    r = digits >= 0 ? r / scale : r * scale;
    return std::copysign(r, x);
}

}  // namespace velmora::formula
