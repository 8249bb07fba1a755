#include "shell/launcher.h"

#include "common/fonts.h"
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
const QColor kBlue(0, 0, 255);
constexpr int kLeft = twips(6495);
constexpr int kOutlinePen = 2;
// 文件 pops up here, in the launcher's coordinates.
constexpr QPoint kFileMenuAt(twips(240), twips(390 - 30));
}  // namespace

Launcher::Launcher(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      pointerSource_(&platform::pointerPosition),
      pointerTimer_(new QTimer(this)),
      outlineTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmoravm2.1"));
    QPalette blue = palette();
    blue.setColor(QPalette::Window, kBlue);
    setPalette(blue);
    setAutoFillBackground(true);

    // The picture box lets the blue and the outline show around the buttons.
    auto* picture = new QWidget(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(twipsRect(0, 0, 5520, 465));

    const struct {
        const char* name;
        QString caption;
        int left;
        int width;
        void (Launcher::*handler)();
    } buttons[] = {
        {"Button2", QStringLiteral("文件"), 240, 855, &Launcher::popUpFileMenu},
        {"Button8", QStringLiteral("工具"), 1320, 975, &Launcher::popUpToolsMenu},
        {"Button3", QStringLiteral("调度"), 2400, 855, &Launcher::openConsole},
        {"Button5", QStringLiteral("写评语"), 3480, 735, &Launcher::showCommentWriter},
        {"Button7", QStringLiteral("退出"), 4440, 735, &Launcher::quitProgram},
    };
    for (const auto& b : buttons) {
        auto* button = new XPButton(picture);
        button->setObjectName(QLatin1String(b.name));
        button->setText(b.caption);
        button->setFocusPolicy(Qt::NoFocus);  // the teacher keeps typing where she was
        button->setFont(songFont(9));
        button->setTextColor(palette().color(QPalette::Highlight));
        button->setGeometry(twipsRect(b.left, 0, b.width, 375));
        connect(button, &XPButton::clicked, this, b.handler);
    }

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
