#include "shell/welcomewindow.h"

#include "common/fonts.h"
#include "common/messages.h"
#include "common/singlewindow.h"
#include "common/units.h"
#include "common/xpbutton.h"
#include "shell/launcher.h"
#include "shell/makerinfo.h"
#include "shell/platform.h"
#include "workbook/connection.h"
#include "workbook/hosterror.h"

#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

namespace velmora {

namespace {
XPButton* addButton(QWidget* parent, const char* name, const QString& caption, double points,
                    const QRect& geometry) {
    auto* button = new XPButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(songFont(points));
    button->setGeometry(geometry);
    return button;
}
}  // namespace

WelcomeWindow::WelcomeWindow(HostFactory makeHost, QString workbookPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      makeHost_(std::move(makeHost)),
      workbookPath_(std::move(workbookPath)) {
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("欢迎使用"));
    setFont(songFont(9));
    setFixedSize(twips(5760), twips(4260));
    QPalette tooltip = palette();
    tooltip.setColor(QPalette::Window, tooltip.color(QPalette::ToolTipBase));
    setPalette(tooltip);
    setAutoFillBackground(true);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(twipsRect(360, 0, 4815, 1455));

    // Button2 is the backdrop behind Button3 and Button4, so it comes first.
    addButton(this, "Button2", QString(), 9, twipsRect(480, 120, 4575, 1215));
    addButton(this, "Button3", QStringLiteral("   [Velmora]通用版 版本 vm2.1"), 9,
              twipsRect(480, 120, 4575, 615));
    addButton(this, "Button4", maker::kCredit, 9, twipsRect(480, 720, 4575, 615));

    addLabel("Label4", maker::kTelephoneLine, twipsRect(1200, 2040, 3375, 375));
    email_ = addLabel("Label6", maker::kEmailLine, twipsRect(1200, 2400, 2295, 255));
    homePage_ = addLabel("Label1", maker::kHomePageLine, twipsRect(1200, 2760, 3735, 375));
    homePage_->setToolTip(QStringLiteral("单击到我的主页看看！"));
    QPalette link = email_->palette();
    link.setColor(QPalette::WindowText, Qt::blue);
    email_->setPalette(link);
    link.setColor(QPalette::Window, Qt::white);
    homePage_->setPalette(link);
    homePage_->setAutoFillBackground(true);

    XPButton* confirm = addButton(this, "Button1", QStringLiteral("确    定"), 14.25,
                                  twipsRect(1920, 3600, 1455, 495));
    confirm->setTextColor(Qt::red);
    confirm->setFocusPolicy(Qt::StrongFocus);
    confirm->setFocus();
    connect(confirm, &XPButton::clicked, this, &WelcomeWindow::openWorkbook);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QLabel* WelcomeWindow::addLabel(const char* name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->installEventFilter(this);
    return label;
}

// A label is clicked when the left button is let go over it.
bool WelcomeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        const auto* label = qobject_cast<QLabel*>(watched);
        if (release->button() == Qt::LeftButton && label &&
            label->rect().contains(release->position().toPoint())) {
            if (label == homePage_)
                openHomePage();
            else if (label == email_)
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
