#pragma once

#include "saver/flowerfield.h"
#include "saver/random.h"

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>

class QLabel;

namespace velmora::saver {

class UnlockDialog;

// The math screen saver: a black, borderless, full-screen window on which
// exploding flowers are painted every 10 ms and never wiped away. A right
// click or any key brings up the unlock dialog; the right password ends it,
// and nothing else does. While it is shown it locks the screen (ScreenLock).
class ScreenSaver : public QWidget {
    Q_OBJECT
public:
    explicit ScreenSaver(Random rnd = clockSeededRandom(), QWidget* parent = nullptr);

    FlowerField& field() { return field_; }
    // The unlock dialog while it is open, else null.
    UnlockDialog* unlockDialog() const;

public Q_SLOTS:
    // One animation step: paints the flowers onto the canvas; every other
    // step the screen is refreshed where the canvas changed, and only there.
    void tick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Onto the canvas; the screen shows them at the next refresh.
    void paintStrokes(const std::vector<PetalStroke>& strokes);
    void showUnlockDialog();
    void growCanvas();  // to the window's size at least

    QLabel* Label1;
    QImage canvas_;    // everything ever painted; nothing clears it
    QRegion unshown_;  // painted on the canvas, not yet on the screen
    int ticks_ = 0;
    FlowerField field_;
    QPointer<UnlockDialog> unlock_;
    bool unlocked_ = false;
};

// The 数学屏保 command: the notice first, then the screen saver. While one
// runs, the command only brings it to the front.
ScreenSaver* startScreenSaver();

}  // namespace velmora::saver
