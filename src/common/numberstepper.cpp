#include "common/numberstepper.h"

#include "common/guard.h"
#include "common/messages.h"
#include "common/numberbox.h"
#include "workbook/layout.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

namespace velmora {

namespace {
// "0" is no number, yet "≤" from it has simply nothing before it.
bool isZero(const QString& text) {
    const QString digits = text.trimmed();
    return !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c == u'0' || c == u'\uFF10';  // full-width zero
    });
}
}  // namespace

NumberStepper::NumberStepper(QLineEdit& box, QWidget& window) : box_(box), window_(window) {}

void NumberStepper::askWhenEmpty(std::function<void()> then) {
    whenEmpty_ = [this, then = std::move(then)] {
        showMessage(&window_, kAskForNumberMessage);
        then();
    };
}

void NumberStepper::afterNothingToLookUp(std::function<void()> then) {
    afterNothing_ = std::move(then);
}

void NumberStepper::follow(std::function<void(int)> step) {
    follow_ = std::move(step);
    QObject::connect(&box_, &QLineEdit::textChanged, &window_, [this](const QString& text) {
        if (const std::optional<int> number = numberBoxValue(text))
            guarded(&window_, [&] { follow_(*number); });
    });
}

std::optional<int> NumberStepper::current() const {
    return current(whenEmpty_);
}

std::optional<int> NumberStepper::current(const std::function<void()>& whenEmpty) const {
    const QString text = box_.text();
    if (text.isEmpty() && whenEmpty) {
        whenEmpty();
        return std::nullopt;
    }
    const std::optional<int> number = numberBoxValue(text);
    if (!number)
        showMessage(&window_, kBadNumberMessage);
    return number;
}

void NumberStepper::stepWith(QAbstractButton& back, QAbstractButton& forward,
                             std::function<void(int)> go) {
    go_ = std::move(go);
    onClick(&back, &window_, [this] { stepBack(); });
    onClick(&forward, &window_, [this] { stepForward(); });
}

void NumberStepper::stepBack() {
    if (isZero(box_.text()))
        return nothingToLookUp();
    const std::optional<int> number = current();
    if (number == 1)
        nothingToLookUp();
    else if (number)
        go_(*number - 1);
}

void NumberStepper::stepForward() {
    const std::optional<int> number = current();
    if (number == layout::kMaxNumber)
        nothingToLookUp();
    else if (number)
        go_(*number + 1);
}

void NumberStepper::show(int number) {
    {
        const QSignalBlocker quiet(box_);
        box_.setText(numberBoxText(number));
    }
    if (follow_)
        follow_(number);
}

void NumberStepper::nothingToLookUp() const {
    showMessage(&window_, kNothingToLookUpMessage);
    if (afterNothing_)
        afterNothing_();
}

}  // namespace velmora
