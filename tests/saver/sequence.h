#pragma once

#include "saver/random.h"

#include <QList>
#include <QSize>
#include <memory>

// A fixed random sequence for the animation: the listed values in order, then
// `rest` for ever. `used()` counts every draw, so a test sees how many a step
// took.
class Sequence {
public:
    explicit Sequence(QList<double> values = {}, double rest = 0.999)
        : state_(std::make_shared<State>(State{std::move(values), rest, 0})) {}

    velmora::saver::Random source() const {
        return [s = state_] {
            const qsizetype i = s->used++;
            return i < s->values.size() ? s->values.at(i) : s->rest;
        };
    }
    void append(const QList<double>& more) { state_->values.append(more); }
    qsizetype used() const { return state_->used; }

private:
    struct State {
        QList<double> values;
        double rest;
        qsizetype used;
    };
    std::shared_ptr<State> state_;
};

// The draw that makes Int(Rnd * range) give n.
inline double pick(int n, int range) {
    return (n + 0.5) / range;
}

// The draws that create a flower with these properties (after the draw that
// names its slot). The inner radius, scale and scale step are raw draws.
struct FlowerDraws {
    int petals, x, y, dx, dy, angle = 0, spin = 0, outer = 20;
    double innerDraw = 0, scaleDraw = 0.5, stepDraw = 0;
    int width = 1, r = 100, g = 100, b = 100, rs = 0, gs = 0, bs = 0;

    QList<double> draws(QSize client) const {
        return {pick(petals - 3, 13),
                pick(x, client.width()),
                pick(y, client.height()),
                pick(dx + 4, 9),
                pick(dy + 4, 9),
                pick(angle, 360),
                pick(spin + 3, 7),
                pick(outer - 20, 400),
                innerDraw,
                scaleDraw,
                stepDraw,
                pick(width - 1, 25),
                pick(r - 2, 253),
                pick(g - 2, 253),
                pick(b - 2, 253),
                pick(rs + 2, 5),
                pick(gs + 2, 5),
                pick(bs + 2, 5)};
    }
};
