#include "saver/flowerfield.h"

#include <cmath>

namespace velmora::saver {

namespace {
// One draw a tick picks a slot out of this many; most draws name no slot, so
// new flowers come only now and then.
constexpr int kSpawnRange = 100;
}  // namespace

FlowerField::FlowerField(Random rnd) : rnd_(std::move(rnd)) {}

void FlowerField::spawn(int slot, QSize client) {
    slots_.at(slot) = drawFlower(rnd_, client);
}

std::vector<PetalStroke> FlowerField::tick(QSize client) {
    const int s = static_cast<int>(std::floor(rnd_() * kSpawnRange));
    if (s < kSlots && !slots_[s].alive())
        spawn(s, client);

    std::vector<PetalStroke> strokes;
    for (int slot = 0; slot < kSlots; ++slot) {
        Flower& f = slots_[slot];
        if (!f.alive())
            continue;
        const QColor colour = outlineColour(f);
        for (int k = 0; k < f.petals; ++k) strokes.push_back({petalOutline(f, k), colour, slot});
        advance(f, client);
    }
    return strokes;
}

}  // namespace velmora::saver
