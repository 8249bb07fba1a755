#include "shell/launcher.h"

#include "ui_launcher.h"

#include "common/designerform.h"
#include "common/guard.h"
#include "common/singlewindow.h"
#include "common/xpbutton.h"
#include "console/consoleform.h"
#include "console/featurewindows.h"
#include "saver/screenlock.h"
#include "shell/exitcommand.h"
#include "shell/menuholder.h"
#include "shell/platform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace velmora {

namespace {
constexpr int kLeft = twips(6495);
constexpr int kOutlinePen = 2;
// 文件 pops up here, in the launcher's coordinates.
constexpr QPoint kFileMenuAt(twips(240), twips(390 - 30));
}  // namespace

Launcher::Launcher(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(setUpForm<Ui::Form1>(this)),
      pointerSource_(&platform::pointerPosition),
      pointerTimer_(new QTimer(this)),
      outlineTimer_(new QTimer(this)) {
    // The captions take the desktop's highlight colour, which a .ui cannot name.
    const QColor caption = palette().color(QPalette::Highlight);
    for (XPButton* button : {ui->Button2, ui->Button8, ui->Button3, ui->Button5, ui->Button7})
        button->setTextColor(caption);
    connect(ui->Button2, &XPButton::clicked, this, &Launcher::popUpFileMenu);
    connect(ui->Button8, &XPButton::clicked, this, &Launcher::popUpToolsMenu);
    connect(ui->Button3, &XPButton::clicked, this, &Launcher::openConsole);
    connect(ui->Button5, &XPButton::clicked, this, &Launcher::showCommentWriter);
    connect(ui->Button7, &XPButton::clicked, this, &Launcher::quitProgram);

    pointerTimer_->setObjectName(QStringLiteral("pointerTimer"));
    outlineTimer_->setObjectName(QStringLiteral("outlineTimer"));
    connect(pointerTimer_, &QTimer::timeout, this, &Launcher::pointerTick);
    connect(outlineTimer_, &QTimer::timeout, this, &Launcher::outlineTick);
    pointerTimer_->start(launcher::kPointerIntervalMs);
    outlineTimer_->start(launcher::kOutlineIntervalMs);

    dockAtTopEdge();
}

Launcher::~Launcher() {
    showGripPointer(false);
}

void Launcher::dockAtTopEdge() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    barHeight_ = launcher::kActiveHeight;
    setGeometry(screen.left() + kLeft, screen.top(), launcher::kWidth, barHeight_);
    barRect_ = frameGeometry();
}

void Launcher::pointerTick() {
    pointer_ = pointerSource_();
    const launcher::PointerVerdict verdict = launcher::pointerVerdict(pointer_, barRect_, height());
    if (verdict.active) {
        if (outline_) {
            outline_.reset();
            update();
        }
        resize(launcher::kWidth, barHeight_);
        showGripPointer(verdict.grip);
    } else {
        resize(launcher::kWidth, launcher::kRestingHeight);
    }
}

void Launcher::outlineTick() {
    outline_ = cycle_.next();
    update();
}

// The four-way arrow stands for every window of the program while it shows.
void Launcher::showGripPointer(bool grip) {
    if (grip == gripShown_)
        return;
    if (grip)
        QGuiApplication::setOverrideCursor(Qt::SizeAllCursor);
    else
        QGuiApplication::restoreOverrideCursor();
    gripShown_ = grip;
}

void Launcher::paintEvent(QPaintEvent*) {
    if (outline_) {
        QPainter painter(this);
        painter.setPen(QPen(*outline_, kOutlinePen));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
    // An open menu stays above the bar, and so does the screen saver.
    if (!barRect_.contains(pointer_) && !QApplication::activePopupWidget() &&
        !saver::ScreenLock::engaged())
        platform::keepOnTop(this);
}

// The bar stays until 退出: a close request from the window system is ignored.
void Launcher::closeEvent(QCloseEvent* event) {
    if (event->spontaneous())
        event->ignore();
}

void Launcher::popUpFileMenu() {
    activateWindow();
    MenuHolder::instance()->fileMenu()->popup(mapToGlobal(kFileMenuAt));
}

void Launcher::popUpToolsMenu() {
    activateWindow();
    MenuHolder::instance()->toolsMenu()->popup(pointerSource_());
}

void Launcher::openConsole() {
    showSingle<ConsoleForm>();
}

void Launcher::showCommentWriter() {
    guarded(this, &openCommentWriter);
}

void Launcher::quitProgram() {
    exitProgram(this);
}

}  // namespace velmora
