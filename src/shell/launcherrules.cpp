#include "shell/launcherrules.h"

namespace velmora::launcher {

namespace {
// The classic 16-colour palette, by colour number.
constexpr QRgb kPalette[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};
constexpr int kStepIncrement = 15;
constexpr int kLastStep = 64;
}  // namespace

PointerVerdict pointerVerdict(QPoint pointer, const QRect& bar, int windowHeight) {
    const bool inside = bar.contains(pointer);
    const bool atTopEdge = pointer.y() - bar.top() <= kTopEdgeRows;
    PointerVerdict verdict;
    verdict.active = atTopEdge || (windowHeight == kActiveHeight && inside);
    verdict.grip = verdict.active && pointer.x() - bar.left() <= kGripPixels;
    return verdict;
}

QColor OutlineCycle::next() {
    if (step_ > kLastStep)
        step_ = 0;
    const QColor colour = QColor::fromRgb(kPalette[step_ % 16]);
    step_ += kStepIncrement;
    return colour;
}

}  // namespace velmora::launcher
