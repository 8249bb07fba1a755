#pragma once

#include "saver/flower.h"

#include <QObject>

Q_DECLARE_METATYPE(velmora::saver::Flower)

class TestFlowers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void spawnDraw_data();
    void spawnDraw();
    void drawsFlowerInOrder_data();
    void drawsFlowerInOrder();
    void angleWraps_data();
    void angleWraps();
    void breathesAndRecolours_data();
    void breathesAndRecolours();
    void retiresPastMargin_data();
    void retiresPastMargin();
    void petalOutline_data();
    void petalOutline();
    void tickPaintsThenMoves();
};
