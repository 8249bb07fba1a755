#pragma once

#include <QPoint>

namespace velmora::saver {

// Rounds to the nearest integer, a half to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2), as the figures' integer conversions do.
int roundHalfEven(double value);

// The offset of a point at the given distance and angle (whole degrees,
// clockwise on screen since y grows downwards) from a centre, each
// coordinate rounded half to even.
QPoint polarOffset(double length, int degrees);

}  // namespace velmora::saver
