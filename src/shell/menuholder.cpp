#include "shell/menuholder.h"

#include "common/fonts.h"
#include "common/guard.h"
#include "common/messages.h"
#include "console/featurewindows.h"
#include "shell/exitcommand.h"
#include "shell/makerinfo.h"
#include "shell/platform.h"
#include "saver/screensaver.h"

#include <QMenu>
#include <QPointer>
#include <QUrl>

namespace velmora {

namespace {
QPointer<MenuHolder>& holder() {
    static QPointer<MenuHolder> theHolder;
    return theHolder;
}

QAction* addItem(QMenu* menu, const QString& caption, const char* name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}
}  // namespace

MenuHolder* MenuHolder::instance() {
    if (!holder())
        holder() = new MenuHolder();
    return holder();
}

MenuHolder* MenuHolder::existing() {
    return holder();
}

MenuHolder::MenuHolder()
    : fileMenu_(new QMenu(QStringLiteral("文件"), this)),
      toolsMenu_(new QMenu(QStringLiteral("工具"), this)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    fileMenu_->setObjectName(QStringLiteral("mnu_file"));
    fileMenu_->setFont(songFont(9));
    toolsMenu_->setFont(songFont(9));

    connect(addItem(fileMenu_, QStringLiteral("作者"), "mnu_xx1"), &QAction::triggered, this,
            &MenuHolder::showAbout);
    fileMenu_->addSeparator();
    connect(addItem(fileMenu_, QStringLiteral("数学屏保"), "mnu_xx3"), &QAction::triggered, this,
            &MenuHolder::runScreenSaver);
    fileMenu_->addSeparator();
    connect(addItem(fileMenu_, QStringLiteral("升级"), "sds"), &QAction::triggered, this,
            &MenuHolder::openHomePage);
    fileMenu_->addSeparator();
    connect(addItem(fileMenu_, QStringLiteral("退出"), "mnu_exit"), &QAction::triggered, this,
            &MenuHolder::quitProgram);

    const struct {
        QString caption;
        const char* name;
        void (*open)();
    } tools[] = {
        {QStringLiteral("设置"), "", &openClassSettings},
        {QStringLiteral("学生档案"), "", &openStudentArchive},
        {QStringLiteral("总结"), "hju", &openPlansAndSummaries},
        {QStringLiteral("查询成绩"), "jjj", &openScoreQuery},
    };
    for (const auto& item : tools) {
        if (!toolsMenu_->isEmpty())
            toolsMenu_->addSeparator();
        connect(addItem(toolsMenu_, item.caption, item.name), &QAction::triggered, this,
                [open = item.open] { guarded(nullptr, open); });
    }
}

void MenuHolder::showAbout() {
    showMessage(nullptr, maker::aboutText(), kNoticeTitle);
}

void MenuHolder::runScreenSaver() {
    saver::startScreenSaver();
}

void MenuHolder::openHomePage() {
    platform::openLink(QUrl(maker::kHomePageLink));
}

void MenuHolder::quitProgram() {
    exitProgram(nullptr);
}

}  // namespace velmora
