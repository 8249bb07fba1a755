#include "common/messages.h"

#include <QMessageBox>

namespace velmora {

namespace {
MessageRecorder* recorder = nullptr;
}

MessageRecorder::MessageRecorder() {
    recorder = this;
}

MessageRecorder::~MessageRecorder() {
    if (recorder == this)
        recorder = nullptr;
}

QStringList MessageRecorder::texts() const {
    QStringList out;
    for (const Message& m : messages_)
        out << m.text;
    return out;
}

void showMessage(QWidget* parent, const QString& text, const QString& title) {
    if (recorder) {
        recorder->messages_.append({title, text});
        if (recorder->hook_)
            recorder->hook_(recorder->messages_.constLast());
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace velmora
