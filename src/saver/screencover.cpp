#include "saver/screencover.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QScreen>

namespace velmora::saver {

void coverScreen(QWidget* window, QScreen* screen) {
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window->setFocusPolicy(Qt::StrongFocus);
    QPalette black = window->palette();
    black.setColor(QPalette::Window, Qt::black);
    window->setPalette(black);
    window->setScreen(screen);
    // The screen's size as well as the state: without a window manager the
    // state alone leaves the window small.
    window->setGeometry(screen->geometry());
    window->setWindowState(Qt::WindowFullScreen);
}

ScreenCover::ScreenCover(QScreen* screen) {
    setObjectName(QStringLiteral("ScreenCover"));
    setWindowTitle(QStringLiteral("Exploding Flowers"));
    setAutoFillBackground(true);
    coverScreen(this, screen);
}

void ScreenCover::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void ScreenCover::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        Q_EMIT unlockWanted();
}

void ScreenCover::keyPressEvent(QKeyEvent*) {
    Q_EMIT unlockWanted();
}

bool ScreenCover::focusNextPrevChild(bool) {
    return false;  // Tab is a key like any other here
}

}  // namespace velmora::saver
