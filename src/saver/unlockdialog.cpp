#include "saver/unlockdialog.h"

#include "common/fonts.h"
#include "common/messages.h"
#include "common/units.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora::saver {

namespace {

const QString kPassword = QStringLiteral("vm2.1");

QLabel* makeLabel(QWidget* parent, int index, const QString& text, const QRect& geometry,
                  QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblLabels"));  // one control array, told apart by index
    label->setProperty("index", index);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setBuddy(buddy);
    return label;
}

QLineEdit* makeBox(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    return box;
}

}  // namespace

UnlockDialog::UnlockDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("解除"));
    setFont(songFont(9));
    setFixedSize(twips(4875), twips(2310));

    txtUserName = makeBox(this, QStringLiteral("txtUserName"), twipsRect(1890, 240, 2325, 345));
    txtUserName->setText(QStringLiteral("vm2.1"));
    txtPassword = makeBox(this, QStringLiteral("txtPassword"), twipsRect(1890, 1005, 2325, 345));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*'
    // Set after the echo mode, which would switch it on again.
    txtPassword->setAttribute(Qt::WA_InputMethodEnabled, false);

    makeLabel(this, 0, QStringLiteral("用户名称(&U):"), twipsRect(360, 240, 1080, 270),
              txtUserName);
    makeLabel(this, 1, QStringLiteral("密码(&P):"), twipsRect(360, 1080, 1080, 270), txtPassword);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(2160, 1680, 1140, 390));
    cmdOK->setDefault(true);  // Enter in either box presses it
    connect(cmdOK, &QPushButton::clicked, this, &UnlockDialog::checkPassword);

    setTabOrder(txtUserName, txtPassword);
    setTabOrder(txtPassword, cmdOK);
}

void UnlockDialog::checkPassword() {
    if (txtPassword->text() != kPassword) {
        showMessage(this, QStringLiteral("无效的密码，请重试!"), kUnlockTitle);
        txtPassword->setFocus();
        txtPassword->selectAll();
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
