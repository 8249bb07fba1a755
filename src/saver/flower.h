#pragma once

#include "saver/random.h"

#include <QColor>
#include <QPolygon>
#include <QSize>
#include <array>

namespace velmora::saver {

// One exploding flower: kite-shaped petals around a centre that drifts,
// turns, grows and shrinks while its outline colour slowly changes.
struct Flower {
    int petals = 0;  // 3 to 15; 0 means the slot holds no flower
    int x = 0, y = 0;
    int dx = 0, dy = 0;            // drift per tick, never both 0
    int angle = 0;                 // rotation in degrees, 0 to 360
    int spin = 0;                  // rotation per tick
    int outer = 0;                 // petal tip radius
    int inner = 0;                 // petal shoulder radius
    float scale = 0;               // current size factor
    float scaleStep = 0;           // size change per tick
    int width = 0;                 // half-width of a petal in degrees
    std::array<int, 3> rgb{};      // outline red, green, blue; may step to 0 or 256
    std::array<int, 3> rgbStep{};  // change per tick of each channel

    bool alive() const { return petals != 0; }
};

// A new flower for a client area of the given size, drawn from the random
// source in a fixed order (the order decides which flower a sequence gives).
Flower drawFlower(const Random& rnd, QSize client);

// Petal k (0 .. petals - 1) as a closed outline: centre, one shoulder, tip,
// the other shoulder.
QPolygon petalOutline(const Flower& flower, int k);

// The outline colour; a channel that stepped past 255 counts as 255.
QColor outlineColour(const Flower& flower);

// What a flower does after it was painted in a tick: move, breathe, recolour,
// and retire (become free) once its centre is more than 50 pixels outside.
void advance(Flower& flower, QSize client);

}  // namespace velmora::saver
