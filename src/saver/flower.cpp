#include "saver/flower.h"

#include "saver/polar.h"

#include <algorithm>
#include <cmath>

namespace velmora::saver {

namespace {

constexpr int kMargin = 50;
constexpr double kMinScale = 0.05;
constexpr double kMaxScale = 1.0;
constexpr int kMinChannel = 2;
constexpr int kMaxChannel = 254;

// A whole number from 0 up to (not including) n.
int drawBelow(const Random& rnd, double n) {
    return static_cast<int>(std::floor(rnd() * n));
}

}  // namespace

Flower drawFlower(const Random& rnd, QSize client) {
    Flower f;
    f.petals = drawBelow(rnd, 13) + 3;
    f.x = drawBelow(rnd, client.width());
    f.y = drawBelow(rnd, client.height());
    do {  // a flower that would not drift at all is drawn again, both together
        f.dx = drawBelow(rnd, 9) - 4;
        f.dy = drawBelow(rnd, 9) - 4;
    } while (f.dx == 0 && f.dy == 0);
    f.angle = drawBelow(rnd, 360);
    f.spin = drawBelow(rnd, 7) - 3;
    f.outer = drawBelow(rnd, 400) + 20;
    f.inner = static_cast<int>(std::floor(rnd() * f.outer * 0.8));
    f.scale = static_cast<float>(rnd());
    f.scaleStep = static_cast<float>(rnd() / 20);
    f.width = drawBelow(rnd, 25) + 1;
    for (int& channel : f.rgb) channel = drawBelow(rnd, 253) + kMinChannel;
    for (int& step : f.rgbStep) step = drawBelow(rnd, 5) - 2;
    return f;
}

QPolygon petalOutline(const Flower& f, int k) {
    const int a = roundHalfEven(360.0 / f.petals * k + f.angle);
    const QPoint centre(f.x, f.y);
    const double shoulder = f.inner * static_cast<double>(f.scale);
    const double tip = f.outer * static_cast<double>(f.scale);
    return QPolygon({centre, centre + polarOffset(shoulder, a + f.width),
                     centre + polarOffset(tip, a), centre + polarOffset(shoulder, a - f.width)});
}

QColor outlineColour(const Flower& f) {
    return QColor(std::clamp(f.rgb[0], 0, 255), std::clamp(f.rgb[1], 0, 255),
                  std::clamp(f.rgb[2], 0, 255));
}

void advance(Flower& f, QSize client) {
    f.x += f.dx;
    f.y += f.dy;
    f.angle += f.spin;
    if (f.angle < 0)
        f.angle = 360;
    if (f.angle > 360)
        f.angle = 0;

    f.scale += f.scaleStep;
    if (f.scale > kMaxScale || f.scale < kMinScale)
        f.scaleStep = -f.scaleStep;

    // A channel turns only after it stepped past its bound.
    for (std::size_t c = 0; c < f.rgb.size(); ++c) {
        f.rgb[c] += f.rgbStep[c];
        if (f.rgb[c] > kMaxChannel || f.rgb[c] < kMinChannel)
            f.rgbStep[c] = -f.rgbStep[c];
    }

    if (f.x > client.width() + kMargin || f.x < -kMargin)
        f.petals = 0;
    if (f.y > client.height() + kMargin || f.y < -kMargin)
        f.petals = 0;
}

}  // namespace velmora::saver
