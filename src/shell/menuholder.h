#pragma once

#include <QWidget>

class QMenu;

namespace velmora {

// The never-shown window Form2 that owns the launcher's two pop-up menus,
// 文件 and 工具.
class MenuHolder : public QWidget {
    Q_OBJECT
public:
    // The one menu holder, created on first use.
    static MenuHolder* instance();
    // The menu holder if it exists, without creating it.
    static MenuHolder* existing();

    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* toolsMenu() const { return toolsMenu_; }

    void showAbout();       // 作者
    void runScreenSaver();  // 数学屏保
    void openHomePage();    // 升级
    void quitProgram();     // 退出

private:
    MenuHolder();

    QMenu* fileMenu_;
    QMenu* toolsMenu_;
};

}  // namespace velmora
