#pragma once

#include <QString>
#include <functional>
#include <optional>

class QAbstractButton;
class QLineEdit;
class QWidget;

namespace velmora {

inline const QString kNothingToLookUpMessage = QStringLiteral("无内容可查!");
inline const QString kAskForNumberMessage = QStringLiteral("请先在学生序号中填写号码");

// The number box of a window that steps through numbered rows (students or
// entries), with the one rule every such window follows:
// - a look-up or a store takes the number in the box;
// - "≤" takes the number before it: from 1 (or 0) there is none;
// - "≥" takes the number after it: after 65535 there is none;
// where there is none, "无内容可查!" is shown; text that is no number from
// 1 to 65535 gets the bad-number message. In both cases there is no number,
// and the window reads and writes nothing.
class NumberStepper {
public:
    NumberStepper(QLineEdit& box, QWidget& window);

    // An empty box asks for a number ("请先在学生序号中填写号码") in look-ups
    // and steps, then runs `then`; without this it is a bad number.
    void askWhenEmpty(std::function<void()> then);
    // Runs right after "无内容可查!".
    void afterNothingToLookUp(std::function<void()> then);
    // Runs whenever the box comes to hold a number: typed (other text, half
    // typed or deleted, passes silently; a failure of the host is shown) or
    // set by show().
    void follow(std::function<void(int)> step);
    // "≤" and "≥": a click on back or forward goes to the number before or
    // after the one in the box, where there is one.
    void stepWith(QAbstractButton& back, QAbstractButton& forward, std::function<void(int)> go);

    // The number for a look-up.
    std::optional<int> current() const;
    // The number for a store; an empty box gets `whenEmpty`.
    std::optional<int> current(const std::function<void()>& whenEmpty) const;

    // The box shows this number (plain decimal, "8"); the follow step runs
    // here, inside the operation that stepped, so that a failure of the host
    // ends that operation with one message.
    void show(int number);

private:
    void stepBack();
    void stepForward();
    void nothingToLookUp() const;

    QLineEdit& box_;
    QWidget& window_;
    std::function<void()> whenEmpty_;
    std::function<void()> afterNothing_;
    std::function<void(int)> follow_;
    std::function<void(int)> go_;
};

}  // namespace velmora
