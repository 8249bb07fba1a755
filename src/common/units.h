#pragma once

#include <QRect>

namespace velmora {

// Window geometry is given in points (feature windows) and twips (welcome
// window, launcher, screen saver, unlock dialog); at 96 dpi a point is 4/3
// pixel and a twip 1/15 pixel.
constexpr int pt(double points) { return static_cast<int>(points * 4.0 / 3.0 + 0.5); }
constexpr int twips(double t) { return static_cast<int>(t / 15.0 + 0.5); }

inline QRect ptRect(double left, double top, double width, double height) {
    return QRect(pt(left), pt(top), pt(width), pt(height));
}
inline QRect twipsRect(double left, double top, double width, double height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

}  // namespace velmora
