#pragma once

#include "shell/launcherrules.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace Ui {
class Form1;
}

namespace velmora {

// The floating launcher bar Form1: a borderless blue bar at the top edge of
// the screen, kept above other windows, with the buttons 文件, 工具, 调度,
// 写评语 and 退出. A 50 ms pointer watch switches it between its short active
// height and its tall resting height; a 1 s tick draws a coloured outline
// while it rests.
class Launcher : public QWidget {
    Q_OBJECT
public:
    explicit Launcher(QWidget* parent = nullptr);
    ~Launcher() override;

    // Puts the bar at the top edge at its active height and captures the bar
    // rectangle the pointer rule works with.
    void dockAtTopEdge();
    QRect barRect() const { return barRect_; }

    // Where the pointer is; the desktop's pointer unless a test says otherwise.
    using PointerSource = std::function<QPoint()>;
    void setPointerSource(PointerSource source) { pointerSource_ = std::move(source); }

    // What the two timers run; public so that tests can tick without waiting.
    void pointerTick();
    void outlineTick();
    // The outline colour drawn now, if any (an active tick erases it).
    std::optional<QColor> outlineColour() const { return outline_; }

    void popUpFileMenu();      // 文件
    void popUpToolsMenu();     // 工具
    void openConsole();        // 调度
    void showCommentWriter();  // 写评语
    void quitProgram();        // 退出

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showGripPointer(bool grip);

    std::unique_ptr<Ui::Form1> ui;
    PointerSource pointerSource_;
    QTimer* pointerTimer_;
    QTimer* outlineTimer_;
    int barHeight_ = launcher::kActiveHeight;
    QRect barRect_;
    QPoint pointer_;
    launcher::OutlineCycle cycle_;
    std::optional<QColor> outline_;
    bool gripShown_ = false;
};

}  // namespace velmora
