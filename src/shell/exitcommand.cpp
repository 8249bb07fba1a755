#include "shell/exitcommand.h"

#include "common/closingquestion.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "shell/launcher.h"
#include "shell/menuholder.h"
#include "workbook/connection.h"
#include "workbook/hosterror.h"

#include <QCoreApplication>

namespace velmora {

namespace {
bool previousExitFailed = false;

const QString kNotEnded =
    QStringLiteral("%1\n\n程序没有退出，未保存的内容仍在。若再次退出时仍然出错，程序将直接结束。");
const QString kEndedAnyway = QStringLiteral("%1\n\n程序将直接结束。");
}  // namespace

void exitProgram(QWidget* parent) {
    if (!ClosingQuestion::closeEditedWindows())
        return;
    if (StudentWorkbook::isOpen()) {
        try {
            if (!StudentWorkbook::quit())
                return;  // 取消: back to work
        } catch (const HostError& e) {
            if (!previousExitFailed) {
                previousExitFailed = true;
                showMessage(parent, kNotEnded.arg(e.message()), kNoticeTitle);
                return;
            }
            showMessage(parent, kEndedAnyway.arg(e.message()), kNoticeTitle);
            StudentWorkbook::close();
        }
    }
    previousExitFailed = false;
    if (MenuHolder* holder = MenuHolder::existing())
        holder->deleteLater();
    if (Launcher* launcher = existingWindow<Launcher>())
        launcher->close();
    QCoreApplication::exit(0);
}

}  // namespace velmora
