#include "saver/unlockdialog.h"

#include "ui_unlockdialog.h"

#include "common/designerform.h"
#include "common/messages.h"

#include <QKeyEvent>

namespace velmora::saver {

namespace {
const QString kPassword = QStringLiteral("vm2.1");
}  // namespace

UnlockDialog::UnlockDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(setUpForm<Ui::frmLogin>(this)) {
    // The two labels are one control array, told apart by their index.
    ui->lblLabels1->setObjectName(QStringLiteral("lblLabels"));
    // Set after the echo mode, which switches it on.
    ui->txtPassword->setAttribute(Qt::WA_InputMethodEnabled, false);
    // Enter in either box presses the default button, cmdOK.
    connect(ui->cmdOK, &QPushButton::clicked, this, &UnlockDialog::checkPassword);
}

UnlockDialog::~UnlockDialog() = default;

void UnlockDialog::checkPassword() {
    if (ui->txtPassword->text() != kPassword) {
        showMessage(this, QStringLiteral("无效的密码，请重试!"), kUnlockTitle);
        ui->txtPassword->setFocus();
        ui->txtPassword->selectAll();
        return;
    }
    loginSucceeded_ = true;
    close();
    Q_EMIT unlocked();
}

void UnlockDialog::keyPressEvent(QKeyEvent* event) {
    // Without a cancel button Escape does nothing (a dialog would close).
    if (event->matches(QKeySequence::Cancel))
        return;
    QDialog::keyPressEvent(event);
}

}  // namespace velmora::saver
