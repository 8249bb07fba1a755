#include "saver/screenlock.h"

#include "saver/screencover.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace velmora::saver {

namespace {

// Grabs lapse when a menu of this program ends its own grab, and cannot be
// had while the window is not yet on screen or another program holds them
// for a moment: they are taken again this often.
constexpr int kHoldIntervalMs = 250;

QList<ScreenLock*>& allLocks() {
    static QList<ScreenLock*> locks;
    return locks;
}

bool isInputEvent(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Only these platforms let a program hold the keyboard and the pointer;
// elsewhere (a Wayland session, no display) every try would only warn.
bool platformGrabs() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("windows");
}

}  // namespace

ScreenLock::ScreenLock(QWidget* saver)
    : QObject(saver), saver_(saver), holdTimer_(new QTimer(this)) {
    allLocks().append(this);
    holdTimer_->setInterval(kHoldIntervalMs);
    connect(holdTimer_, &QTimer::timeout, this, &ScreenLock::holdInput);
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != saver->screen())
            addCover(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, &ScreenLock::addCover);
    connect(qApp, &QGuiApplication::screenRemoved, this, &ScreenLock::removeCover);
    qApp->installEventFilter(this);
}

ScreenLock::~ScreenLock() {
    allLocks().removeAll(this);
    for (const Cover& c : std::as_const(covers_)) delete c.window.data();
}

bool ScreenLock::engaged() {
    return std::any_of(allLocks().cbegin(), allLocks().cend(),
                       [](const ScreenLock* lock) { return lock->saver_->isVisible(); });
}

QList<ScreenCover*> ScreenLock::covers() const {
    QList<ScreenCover*> windows;
    for (const Cover& c : covers_)
        if (c.window)
            windows << c.window.data();
    return windows;
}

bool ScreenLock::isCoverOrSaver(const QWidget* window) const {
    return window == saver_ || std::any_of(covers_.cbegin(), covers_.cend(), [window](const Cover& c) {
               return c.window.data() == window;
           });
}

bool ScreenLock::ownsWindow(const QWidget* window) const {
    for (const QWidget* w = window; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
        if (isCoverOrSaver(w))
            return true;
    return false;
}

QWidget* ScreenLock::inputWindow() const {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && ownsWindow(modal))
        return modal;
    if (dialog_ && dialog_->isVisible())
        return dialog_;
    return saver_;
}

bool ScreenLock::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    const QEvent::Type type = event->type();
    if (widget == saver_ && type == QEvent::Show)
        engage();
    else if (widget == saver_ && type == QEvent::Hide)
        disengage();
    const bool input = isInputEvent(type);
    const bool shown = (type == QEvent::Show || type == QEvent::Hide) && widget->isWindow();
    if (!saver_->isVisible() || !(input || shown || type == QEvent::WindowActivate))
        return false;

    QWidget* window = widget->window();
    if (ownsWindow(window)) {
        // Every key on the saver and the covers is one for the unlock dialog,
        // also a key that is a shortcut elsewhere in the program.
        if (type == QEvent::ShortcutOverride && isCoverOrSaver(window))
            event->accept();
        // A window the lock opens (the unlock dialog) takes the keyboard and
        // the pointer while it is shown, the saver again after it.
        if (shown && !isCoverOrSaver(window)) {
            if (type == QEvent::Show && !window->isModal())
                dialog_ = window;
            bringToFrontSoon();
        }
        return false;
    }
    if (input) {
        event->accept();  // a shortcut override taken here fires no shortcut
        // A key typed into another window counts as one typed on the saver.
        if (type == QEvent::KeyPress)
            Q_EMIT unlockWanted();
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)
            bringToFrontSoon();
        return true;
    }
    if (type != QEvent::Hide)
        bringToFrontSoon();
    return false;
}

void ScreenLock::engage() {
    for (ScreenCover* cover : covers()) cover->show();
    if (!platformGrabs())
        return;
    holdTimer_->start();
    holdInput();
}

void ScreenLock::disengage() {
    holdTimer_->stop();
    for (ScreenCover* cover : covers()) cover->hide();
    if (held_) {
        // Ungrabbing ends whatever grab this program holds, on any window.
        if (QWindow* window = saver_->windowHandle()) {
            window->setKeyboardGrabEnabled(false);
            window->setMouseGrabEnabled(false);
        }
        held_ = false;
    }
}

void ScreenLock::addCover(QScreen* screen) {
    auto* cover = new ScreenCover(screen);
    connect(cover, &ScreenCover::unlockWanted, this, &ScreenLock::unlockWanted);
    covers_.append({screen, cover});
    if (saver_->isVisible())
        cover->show();
}

void ScreenLock::removeCover(QScreen* screen) {
    for (qsizetype i = covers_.size() - 1; i >= 0; --i)
        if (covers_.at(i).screen == screen)
            delete covers_.takeAt(i).window.data();
}

void ScreenLock::holdInput() {
    if (!holdTimer_->isActive())
        return;
    // An open menu of the lock's windows holds them until it closes.
    if (QApplication::activePopupWidget())
        return;
    QWindow* window = inputWindow()->windowHandle();
    held_ = window && window->setKeyboardGrabEnabled(true) && window->setMouseGrabEnabled(true);
}

void ScreenLock::bringToFrontSoon() {
    if (frontPending_)
        return;
    frontPending_ = true;
    QTimer::singleShot(0, this, &ScreenLock::bringToFront);
}

void ScreenLock::bringToFront() {
    frontPending_ = false;
    if (!saver_->isVisible())
        return;
    for (ScreenCover* cover : covers()) cover->raise();
    saver_->raise();
    QWidget* input = inputWindow();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window != input && !isCoverOrSaver(window) && ownsWindow(window))
            window->raise();
    input->raise();
    input->activateWindow();
    holdInput();
}

}  // namespace velmora::saver
