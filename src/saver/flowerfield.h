#pragma once

#include "saver/flower.h"
#include "saver/random.h"

#include <QColor>
#include <QPolygon>
#include <QSize>
#include <array>
#include <vector>

namespace velmora::saver {

// One petal to paint: its closed outline in the outline colour, filled black.
struct PetalStroke {
    QPolygon outline;
    QColor colour;
    int slot;
};

// The six flower slots of the screen saver and the animation step over them.
// No widgets here: a tick says what to paint, the window paints it.
class FlowerField {
public:
    static constexpr int kSlots = 6;

    explicit FlowerField(Random rnd);

    // One animation tick for a client area of the given size: perhaps a new
    // flower, then every living flower's petals in slot order, each flower
    // painted where it is before it moves on.
    std::vector<PetalStroke> tick(QSize client);

    // Puts a newly drawn flower into the slot.
    void spawn(int slot, QSize client);

    const Flower& flower(int slot) const { return slots_.at(slot); }

private:
    Random rnd_;
    std::array<Flower, kSlots> slots_{};
};

}  // namespace velmora::saver
