#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class frmLogin;
}

namespace velmora::saver {

// "解除": asks for the password that ends the screen saver. There is no
// cancel button; closing the dialog by its frame leaves the screen saver on.
class UnlockDialog : public QDialog {
    Q_OBJECT
public:
    explicit UnlockDialog(QWidget* parent = nullptr);
    ~UnlockDialog() override;

    bool loginSucceeded() const { return loginSucceeded_; }

public Q_SLOTS:
    // The password check: the exact text "vm2.1" unlocks; anything else is
    // refused and selected for typing again.
    void checkPassword();

Q_SIGNALS:
    // The password was accepted and the dialog closed; the screen saver ends.
    void unlocked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::frmLogin> ui;
    bool loginSucceeded_ = false;
};

}  // namespace velmora::saver
