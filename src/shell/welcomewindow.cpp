#include "shell/welcomewindow.h"

#include "ui_welcomewindow.h"

#include "common/designerform.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "common/tooltipcolour.h"
#include "shell/launcher.h"
#include "shell/makerinfo.h"
#include "shell/platform.h"
#include "workbook/connection.h"
#include "workbook/hosterror.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

namespace velmora {

WelcomeWindow::WelcomeWindow(HostFactory makeHost, QString workbookPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ui(setUpForm<Ui::Form4>(this)),
      makeHost_(std::move(makeHost)),
      workbookPath_(std::move(workbookPath)) {
    setAttribute(Qt::WA_DeleteOnClose);
    fillWithToolTipColour(*this);
    ui->Button4->setText(maker::kCredit);
    ui->Label4->setText(maker::kTelephoneLine);
    ui->Label6->setText(maker::kEmailLine);
    ui->Label1->setText(maker::kHomePageLine);
    for (QLabel* label : {ui->Label4, ui->Label6, ui->Label1}) label->installEventFilter(this);
    ui->Button1->setFocus();
    connect(ui->Button1, &XPButton::clicked, this, &WelcomeWindow::openWorkbook);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

WelcomeWindow::~WelcomeWindow() = default;

// A label is clicked when the left button is let go over it.
bool WelcomeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        const auto* label = qobject_cast<QLabel*>(watched);
        if (release->button() == Qt::LeftButton && label &&
            label->rect().contains(release->position().toPoint())) {
            if (label == ui->Label1)
                openHomePage();
            else if (label == ui->Label6)
                writeEmail();
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The reason, and where the workbook is when the reason does not say so.
void WelcomeWindow::reportStartFailure(const QString& reason) {
    const QString file = QDir::toNativeSeparators(workbookPath_);
    QString text = QStringLiteral("无法打开班级工作簿。\n\n") + reason;
    if (!reason.contains(file))
        text += QStringLiteral("\n\n") + file;
    showMessage(this, text);
}

void WelcomeWindow::openHomePage() {
    platform::openLink(QUrl(maker::kHomePageLink));
}

void WelcomeWindow::writeEmail() {
    platform::openLink(QUrl(maker::kEmailLink));
}

void WelcomeWindow::openWorkbook() {
    try {
        StudentWorkbook::start(makeHost_(), workbookPath_);
    } catch (const HostError& e) {
        reportStartFailure(e.message());
        return;
    } catch (const std::exception& e) {
        reportStartFailure(QString::fromLocal8Bit(e.what()));
        return;
    }
    // From now on the program ends only through 退出, whichever windows close.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    showSingle<Launcher>();
    close();
}

}  // namespace velmora
