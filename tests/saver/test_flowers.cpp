// The flower animation from fixed random sequences: drawing new flowers,
// petal outlines, and the steps a flower takes each tick.
#include "test_flowers.h"

#include "saver/flowerfield.h"
#include "sequence.h"

#include <QTest>

using namespace velmora::saver;

namespace {

const QSize kClient(800, 600);

// A flower at rest in the middle of the client area.
Flower flower() {
    Flower f;
    f.petals = 3;
    f.x = 400;
    f.y = 300;
    f.scale = 0.5f;
    f.rgb = {100, 100, 100};
    return f;
}

QString describe(const Flower& f) {
    return QString::asprintf(
        "petals %d at %d,%d drift %d,%d angle %d spin %d radii %d/%d scale %g step %g width %d "
        "rgb %d,%d,%d steps %d,%d,%d",
        f.petals, f.x, f.y, f.dx, f.dy, f.angle, f.spin, f.outer, f.inner, f.scale, f.scaleStep,
        f.width, f.rgb[0], f.rgb[1], f.rgb[2], f.rgbStep[0], f.rgbStep[1], f.rgbStep[2]);
}

}  // namespace

void TestFlowers::spawnDraw_data() {
    QTest::addColumn<double>("draw");
    QTest::addColumn<bool>("occupyFirst");
    QTest::addColumn<int>("createdSlot");  // -1: nothing created
    QTest::newRow("slot 0") << 0.0 << false << 0;
    QTest::newRow("slot 5") << pick(5, 100) << false << 5;
    QTest::newRow("draw 6") << pick(6, 100) << false << -1;
    QTest::newRow("draw 99") << pick(99, 100) << false << -1;
    QTest::newRow("occupied slot") << pick(3, 100) << true << -1;
}

void TestFlowers::spawnDraw() {
    QFETCH(double, draw);
    QFETCH(bool, occupyFirst);
    QFETCH(int, createdSlot);
    const QList<double> calm = FlowerDraws{5, 400, 300, 1, 0}.draws(kClient);
    Sequence seq;
    FlowerField field(seq.source());
    if (occupyFirst) {
        seq.append(QList<double>{pick(3, 100)} + calm);
        field.tick(kClient);
    }
    const qsizetype before = seq.used();
    seq.append({draw});
    field.tick(kClient);
    QCOMPARE(seq.used() - before, createdSlot < 0 ? 1 : 1 + calm.size());
    for (int slot = 0; slot < FlowerField::kSlots; ++slot)
        QCOMPARE(field.flower(slot).alive(), slot == createdSlot || (occupyFirst && slot == 3));
}

void TestFlowers::drawsFlowerInOrder_data() {
    QTest::addColumn<QList<QPoint>>("drifts");  // the (dx, dy) pairs drawn
    QTest::newRow("drifting") << QList<QPoint>{{-3, 2}};
    QTest::newRow("still once, redrawn") << QList<QPoint>{{0, 0}, {-4, 4}};
    QTest::newRow("still twice, redrawn") << QList<QPoint>{{0, 0}, {0, 0}, {1, 0}};
    QTest::newRow("only dx zero") << QList<QPoint>{{0, 3}};
}

void TestFlowers::drawsFlowerInOrder() {
    QFETCH(QList<QPoint>, drifts);
    const FlowerDraws d{7, 123, 456, 0, 0, 359, -2, 419, 0.5, 0.25, 0.5, 25, 2, 254, 128, -2, 1, 2};
    QList<double> draws = d.draws(kClient);
    QList<double> pairs;
    for (const QPoint& p : drifts) pairs << pick(p.x() + 4, 9) << pick(p.y() + 4, 9);
    draws = draws.mid(0, 3) + pairs + draws.mid(5);  // in place of the drawn 0, 0
    Sequence seq(draws);
    const Flower f = drawFlower(seq.source(), kClient);
    QCOMPARE(seq.used(), draws.size());
    // Inner radius Int(0.5 * 419 * 0.8) = 167.
    const QString expected = QStringLiteral(
                                 "petals 7 at 123,456 drift %1,%2 angle 359 spin -2 "
                                 "radii 419/167 scale 0.25 step 0.025 width 25 "
                                 "rgb 2,254,128 steps -2,1,2")
                                 .arg(drifts.last().x())
                                 .arg(drifts.last().y());
    QCOMPARE(describe(f), expected);
}

void TestFlowers::angleWraps_data() {
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("spin");
    QTest::addColumn<int>("after");
    QTest::newRow("359 + 2 = 361 -> 0") << 359 << 2 << 0;
    QTest::newRow("358 + 2 stays 360") << 358 << 2 << 360;
    QTest::newRow("0 - 1 -> 360") << 0 << -1 << 360;
    QTest::newRow("1 - 3 -> 360") << 1 << -3 << 360;
    QTest::newRow("2 - 2 stays 0") << 2 << -2 << 0;
}

void TestFlowers::angleWraps() {
    QFETCH(int, angle);
    QFETCH(int, spin);
    QFETCH(int, after);
    Flower f = flower();
    f.angle = angle;
    f.spin = spin;
    velmora::saver::advance(f, kClient);
    QCOMPARE(f.angle, after);
}

void TestFlowers::breathesAndRecolours_data() {
    QTest::addColumn<float>("scale");
    QTest::addColumn<float>("step");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("redStep");
    QTest::addColumn<QString>("after");  // scale, step, red, red step
    QTest::newRow("grows") << 0.5f << 0.04f << 100 << 2 << "0.54 0.04 102 2";
    QTest::newRow("past 1, turns") << 0.99f << 0.04f << 100 << 0 << "1.03 -0.04 100 0";
    QTest::newRow("below 0.05, turns") << 0.06f << -0.02f << 100 << 0 << "0.04 0.02 100 0";
    QTest::newRow("to 256, turns") << 0.5f << 0.0f << 254 << 2 << "0.5 0 256 -2";
    QTest::newRow("to 255, turns") << 0.5f << 0.0f << 253 << 2 << "0.5 0 255 -2";
    QTest::newRow("to 254, goes on") << 0.5f << 0.0f << 252 << 2 << "0.5 0 254 2";
    QTest::newRow("to 0, turns") << 0.5f << 0.0f << 2 << -2 << "0.5 0 0 2";
    QTest::newRow("to 1, turns") << 0.5f << 0.0f << 3 << -2 << "0.5 0 1 2";
}

void TestFlowers::breathesAndRecolours() {
    QFETCH(float, scale);
    QFETCH(float, step);
    QFETCH(int, red);
    QFETCH(int, redStep);
    QFETCH(QString, after);
    Flower f = flower();
    f.scale = scale;
    f.scaleStep = step;
    f.rgb = {red, red, red};
    f.rgbStep = {redStep, redStep, 0};  // blue stands still
    velmora::saver::advance(f, kClient);
    QCOMPARE(
        QStringLiteral("%1 %2 %3 %4").arg(f.scale).arg(f.scaleStep).arg(f.rgb[0]).arg(f.rgbStep[0]),
        after);
    QCOMPARE(f.rgb[1], f.rgb[0]);
    QCOMPARE(f.rgb[2], red);
}

void TestFlowers::retiresPastMargin_data() {
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<QPoint>("drift");
    QTest::addColumn<bool>("alive");
    QTest::newRow("right, reaching the margin") << QPoint(849, 300) << QPoint(1, 0) << true;
    QTest::newRow("right, past it") << QPoint(850, 300) << QPoint(1, 0) << false;
    QTest::newRow("left, reaching the margin") << QPoint(-49, 300) << QPoint(-1, 0) << true;
    QTest::newRow("left, past it") << QPoint(-50, 300) << QPoint(-1, 0) << false;
    QTest::newRow("bottom, reaching the margin") << QPoint(400, 646) << QPoint(0, 4) << true;
    QTest::newRow("bottom, past it") << QPoint(400, 647) << QPoint(0, 4) << false;
    QTest::newRow("top, reaching the margin") << QPoint(400, -46) << QPoint(0, -4) << true;
    QTest::newRow("top, past it") << QPoint(400, -47) << QPoint(0, -4) << false;
}

void TestFlowers::retiresPastMargin() {
    QFETCH(QPoint, centre);
    QFETCH(QPoint, drift);
    QFETCH(bool, alive);
    Flower f = flower();
    f.x = centre.x();
    f.y = centre.y();
    f.dx = drift.x();
    f.dy = drift.y();
    velmora::saver::advance(f, kClient);
    QCOMPARE(f.alive(), alive);
}

void TestFlowers::petalOutline_data() {
    QTest::addColumn<Flower>("flower");
    QTest::addColumn<int>("k");
    QTest::addColumn<QPolygon>("outline");
    // Offsets of exact halves: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2 (to even), and
    // the angle -90 keeps its sign.
    Flower halves = flower();
    halves.x = 10;
    halves.y = 20;
    halves.petals = 2;
    halves.width = 90;
    halves.inner = 5;
    halves.outer = 7;
    QTest::newRow("halves, petal 0")
        << halves << 0 << QPolygon({{10, 20}, {10, 22}, {14, 20}, {10, 18}});
    QTest::newRow("halves, petal 1")
        << halves << 1 << QPolygon({{10, 20}, {10, 18}, {6, 20}, {10, 22}});
    Flower cross = flower();
    cross.x = 100;
    cross.y = 200;
    cross.petals = 4;
    cross.width = 10;
    cross.inner = 50;
    cross.outer = 100;
    cross.scale = 1.0f;
    QTest::newRow("cross, petal 0")
        << cross << 0 << QPolygon({{100, 200}, {149, 209}, {200, 200}, {149, 191}});
    QTest::newRow("cross, petal 1")
        << cross << 1 << QPolygon({{100, 200}, {91, 249}, {100, 300}, {109, 249}});
    Flower fullTurn = cross;  // 90 + 360 = 450 is 90 again
    fullTurn.angle = 360;
    QTest::newRow("cross turned 360, petal 1")
        << fullTurn << 1 << QPolygon({{100, 200}, {91, 249}, {100, 300}, {109, 249}});
    Flower turned = cross;  // 360 / 7 * 3 + 30 = 184.29 turns to 184
    turned.petals = 7;
    turned.angle = 30;
    turned.inner = 0;
    QTest::newRow("seven petals, turned")
        << turned << 3 << QPolygon({{100, 200}, {100, 200}, {0, 193}, {100, 200}});
}

void TestFlowers::petalOutline() {
    QFETCH(Flower, flower);
    QFETCH(int, k);
    QFETCH(QPolygon, outline);
    QCOMPARE(velmora::saver::petalOutline(flower, k), outline);
}

void TestFlowers::tickPaintsThenMoves() {
    const FlowerDraws into4{3, 700, 100, -4, 4, 0, 3, 50, 0.0, 0.5, 0.0, 2, 10, 20, 30, 1, 1, 1};
    const FlowerDraws into1{4, 100, 500, 2, -1, 90, 0, 60, 0.0, 0.5, 0.0, 3, 200, 201, 202};
    Sequence seq(QList<double>{pick(4, 100)} + into4.draws(kClient) + QList<double>{pick(1, 100)} +
                 into1.draws(kClient));
    FlowerField field(seq.source());
    field.tick(kClient);
    const Flower before4 = field.flower(4);
    const std::vector<PetalStroke> strokes = field.tick(kClient);

    // Slot 1 (born this tick) first, painted where it was born, then slot 4
    // where the previous tick moved it, in the colour it stepped to.
    QCOMPARE(strokes.size(), std::size_t(4 + 3));
    QCOMPARE(strokes[0].slot, 1);
    QCOMPARE(strokes[0].outline.at(0), QPoint(100, 500));
    QCOMPARE(strokes[0].colour, QColor(200, 201, 202));
    QCOMPARE(strokes[4].slot, 4);
    QCOMPARE(strokes[4].outline, velmora::saver::petalOutline(before4, 0));
    QCOMPARE(strokes[4].colour, QColor(11, 21, 31));
    QCOMPARE(QPoint(field.flower(4).x, field.flower(4).y), QPoint(692, 108));

    Flower bright = before4;  // a channel past 255 is painted as 255
    bright.rgb = {256, 0, 255};
    QCOMPARE(outlineColour(bright), QColor(255, 0, 255));
}
