#pragma once

#include "common/units.h"

#include <QColor>
#include <QPoint>
#include <QRect>

// How the launcher bar reacts to the mouse pointer and which colours its
// outline takes.
namespace velmora::launcher {

inline constexpr int kPointerIntervalMs = 50;
inline constexpr int kOutlineIntervalMs = 1000;
inline constexpr int kWidth = twips(5775);
inline constexpr int kActiveHeight = twips(390);
inline constexpr int kRestingHeight = twips(560);
// The pointer touches the top edge in the first rows of the screen.
inline constexpr int kTopEdgeRows = 3;
// Up to this many pixels right of the bar's left edge the pointer is on the grip.
inline constexpr int kGripPixels = 10;

struct PointerVerdict {
    bool active = false;  // the bar takes its short height
    bool grip = false;    // the pointer shows the four-way arrow (while active)

    friend bool operator==(const PointerVerdict&, const PointerVerdict&) = default;
};

// One look at the pointer. The bar is active when the pointer touches the top
// edge anywhere, or when it stays inside the bar rectangle (captured at the
// active height) while the bar is still active; a resting bar is not woken
// from below. Left of the bar's left edge counts as grip too.
PointerVerdict pointerVerdict(QPoint pointer, const QRect& bar, int windowHeight);

// The outline colours: black, white, yellow, magenta, red, then again.
class OutlineCycle {
public:
    QColor next();

private:
    int step_ = 0;
};

}  // namespace velmora::launcher
