#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace velmora {

// Message box titles.
inline const QString kFormTitle = QStringLiteral("Velmoravm2.1");           // look-up and input
inline const QString kNoticeTitle = QStringLiteral("《Velmora》vm2.1");      // confirmations, notices
inline const QString kHelpTitle = QStringLiteral("Velmoravm2.1 -----帮助");  // comment writer help
inline const QString kUnlockTitle = QStringLiteral("《Velmora》vm2.1---解除");

// Shows a message with the OK button only and no icon, and waits until it is
// closed. A message never asks a question.
void showMessage(QWidget* parent, const QString& text, const QString& title = kFormTitle);

// Tests install a recorder: while it lives, showMessage records instead of
// opening a modal box, so no test ever waits on a modal loop.
class MessageRecorder {
public:
    struct Message {
        QString title;
        QString text;
    };
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const QList<Message>& messages() const { return messages_; }
    QStringList texts() const;
    void clear() { messages_.clear(); }
    // Runs while a message is "shown" (a test can look at the windows then).
    void onMessage(std::function<void(const Message&)> f) { hook_ = std::move(f); }

private:
    friend void showMessage(QWidget*, const QString&, const QString&);
    QList<Message> messages_;
    std::function<void(const Message&)> hook_;
};

}  // namespace velmora
