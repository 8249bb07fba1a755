#pragma once

#include <QWidget>

class QScreen;

namespace velmora::saver {

// Makes `window` a black, borderless window over the whole of `screen`,
// kept above other windows.
void coverScreen(QWidget* window, QScreen* screen);

// The black window the screen saver puts on each screen but its own. Like
// the screen saver, a right click or any key asks for the unlock dialog; it
// refuses every close request and goes only with the screen saver.
class ScreenCover : public QWidget {
    Q_OBJECT
public:
    explicit ScreenCover(QScreen* screen);

Q_SIGNALS:
    void unlockWanted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};

}  // namespace velmora::saver
