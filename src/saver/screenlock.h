#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QScreen;
class QTimer;
class QWidget;

namespace velmora::saver {

class ScreenCover;

// Keeps the screen saver in front of everything until it is unlocked. While
// the saver is shown: a black cover lies on every other screen; the keyboard
// and the pointer are held by the lock's windows where the platform lets a
// program hold them; no other window of this program takes input or stays in
// front. The lock's windows are the saver, the covers and the windows they
// own (the unlock dialog and its messages).
class ScreenLock : public QObject {
    Q_OBJECT
public:
    // The lock is a child of the saver and ends with it.
    explicit ScreenLock(QWidget* saver);
    ~ScreenLock() override;

    // Some screen saver is shown: windows that keep themselves on top must
    // not raise themselves over it.
    static bool engaged();

    QList<ScreenCover*> covers() const;
    // The keyboard and the pointer are held now; never where the platform
    // refuses grabs (a Wayland session).
    bool inputHeld() const { return held_; }

Q_SIGNALS:
    // A cover asks for the unlock dialog.
    void unlockWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ownsWindow(const QWidget* window) const;
    bool isCoverOrSaver(const QWidget* window) const;
    // The lock's window that takes the keyboard and the pointer: an open
    // message first, then the unlock dialog, else the saver.
    QWidget* inputWindow() const;
    void engage();
    void disengage();
    void addCover(QScreen* screen);
    void removeCover(QScreen* screen);
    void holdInput();
    void bringToFront();
    void bringToFrontSoon();

    struct Cover {
        QScreen* screen;
        QPointer<ScreenCover> window;
    };
    QWidget* saver_;
    QList<Cover> covers_;
    QPointer<QWidget> dialog_;
    QTimer* holdTimer_;
    bool held_ = false;
    bool frontPending_ = false;
};

}  // namespace velmora::saver
