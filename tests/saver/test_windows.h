#pragma once

#include <QObject>

class TestWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void startShowsNoticeFirstAndOnce();
    void openers_data();
    void openers();
    void dialogIsOneAtATime();
    void check_data();
    void check();
    void canvasKeepsWhatWasPainted();
};
