#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace velmora {

// A window that writes rows asks before it closes (its close button, its
// frame, or the program's 退出) while a box holds text that differs from
// what was loaded or stored: 存入 runs the window's own store and closes only
// when that stored; 不存入 closes; 取消 (Esc) keeps the window as it was.
class ClosingQuestion : public QObject {
    Q_OBJECT
public:
    // edited: whether a box holds such text; store: the window's store, true
    // when it wrote (false when it refused with a message).
    ClosingQuestion(QWidget& window, std::function<bool()> edited, std::function<bool()> store);

    // Closes every window that holds such text, each asking; false when one
    // stays open.
    static bool closeEditedWindows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mayClose();

    QWidget& window_;
    std::function<bool()> edited_;
    std::function<bool()> store_;
};

}  // namespace velmora
