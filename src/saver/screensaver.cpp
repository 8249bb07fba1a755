#include "saver/screensaver.h"

#include "common/fonts.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "common/units.h"
#include "saver/screencover.h"
#include "saver/screenlock.h"
#include "saver/unlockdialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <array>

namespace velmora::saver {

namespace {

constexpr int kTickMs = 10;
constexpr int kTicksPerRefresh = 2;

// Qt's raster engine hands a copy of more than about a hundred lines to its
// worker threads; for the few hundred thousand pixels a tick changes, waking
// them costs more than the copy itself (it doubled the CPU time measured at
// 1920 x 1080), so the canvas is copied in strips of fewer lines.
constexpr int kStripLines = 64;

}  // namespace

ScreenSaver::ScreenSaver(Random rnd, QWidget* parent)
    : QWidget(parent, Qt::Window), field_(std::move(rnd)) {
    setObjectName(QStringLiteral("Form51"));
    setWindowTitle(QStringLiteral("Exploding Flowers"));
    setAttribute(Qt::WA_OpaquePaintEvent);  // the canvas covers every pixel
    coverScreen(this, QGuiApplication::primaryScreen());

    Label1 = new QLabel(QStringLiteral("按键盘上任一键结束！"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsRect(240, 1560, 7215, 1095));
    Label1->setFont(songFont(36));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette colours = Label1->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    colours.setColor(QPalette::Window, QColor(0, 0, 64));
    Label1->setPalette(colours);
    Label1->setAutoFillBackground(true);

    // The other screens are covered, and the whole program kept behind.
    auto* lock = new ScreenLock(this);
    connect(lock, &ScreenLock::unlockWanted, this, &ScreenSaver::showUnlockDialog);

    auto* animation = new QTimer(this);
    connect(animation, &QTimer::timeout, this, &ScreenSaver::tick);
    animation->start(kTickMs);
}

UnlockDialog* ScreenSaver::unlockDialog() const {
    return unlock_;
}

void ScreenSaver::tick() {
    paintStrokes(field_.tick(size()));
    // The screen follows every other tick, fifty times a second: more than
    // a monitor shows, and each refresh costs a copy to the window system.
    if (++ticks_ % kTicksPerRefresh == 0 && !unshown_.isEmpty()) {
        update(unshown_);
        unshown_ = QRegion();
    }
}

void ScreenSaver::paintStrokes(const std::vector<PetalStroke>& strokes) {
    if (strokes.empty())
        return;
    growCanvas();
    std::array<QRect, FlowerField::kSlots> covered;
    QPainter painter(&canvas_);
    painter.setBrush(Qt::black);  // outline in colour, filled black, no smoothing
    for (const PetalStroke& stroke : strokes) {
        painter.setPen(stroke.colour);
        painter.drawPolygon(stroke.outline);
        covered[stroke.slot] |= stroke.outline.boundingRect();
    }
    for (const QRect& r : covered)
        if (!r.isNull())
            unshown_ += r.adjusted(-1, -1, 1, 1);  // the outline's pen reaches one pixel out
}

void ScreenSaver::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const QRect& r : event->region()) {
        for (int top = r.top(); top <= r.bottom(); top += kStripLines) {
            const QRect strip(r.left(), top, r.width(),
                              std::min(kStripLines, r.bottom() + 1 - top));
            painter.drawImage(strip.topLeft(), canvas_, strip);
        }
    }
}

void ScreenSaver::resizeEvent(QResizeEvent*) {
    growCanvas();
}

void ScreenSaver::growCanvas() {
    // The canvas only grows, keeping what is on it.
    const QSize needed = size().expandedTo(canvas_.size());
    if (needed == canvas_.size())
        return;
    QImage grown(needed, QImage::Format_RGB32);
    grown.fill(Qt::black);
    QPainter(&grown).drawImage(0, 0, canvas_);
    canvas_ = std::move(grown);
}

void ScreenSaver::mousePressEvent(QMouseEvent* event) {
    // A press on the label comes here too (a label takes no clicks); it does nothing.
    if (event->button() == Qt::RightButton &&
        !Label1->geometry().contains(event->position().toPoint()))
        showUnlockDialog();
}

void ScreenSaver::keyPressEvent(QKeyEvent*) {
    showUnlockDialog();
}

bool ScreenSaver::focusNextPrevChild(bool) {
    return false;  // Tab is a key like any other here
}

// Only the right password ends the screen saver: a close request of the
// window system (Alt+F4, a task list's close) or of the program leaves it.
void ScreenSaver::closeEvent(QCloseEvent* event) {
    if (!unlocked_)
        event->ignore();
}

void ScreenSaver::showUnlockDialog() {
    if (!unlock_) {
        unlock_ = new UnlockDialog(this);
        unlock_->setAttribute(Qt::WA_DeleteOnClose);
        unlock_->setWindowFlag(Qt::WindowStaysOnTopHint);  // as high as the screen saver
        connect(unlock_, &UnlockDialog::unlocked, this, [this] {
            unlocked_ = true;
            close();
        });
        const QRect screen = this->screen()->geometry();
        unlock_->move(screen.center() - unlock_->rect().center());
    }
    unlock_->show();
    unlock_->raise();
    unlock_->activateWindow();
}

ScreenSaver* startScreenSaver() {
    if (!existingWindow<ScreenSaver>())
        showMessage(nullptr,
                    QStringLiteral("注意！\n\n鼠标右击可解除屏幕保护！\n\n解除密码为：vm2.1"),
                    kNoticeTitle);
    return showSingle<ScreenSaver>();
}

}  // namespace velmora::saver
