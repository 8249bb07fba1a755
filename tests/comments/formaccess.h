#pragma once

// Reaching the comment writer's controls by their names, as a person finds
// them by their captions.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWidget>

namespace velmora::test {

template <class T>
T* control(QWidget& form, const QString& name) {
    T* found = form.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

inline QLineEdit* lineBox(QWidget& form, const QString& name) {
    return control<QLineEdit>(form, name);
}

inline QPlainTextEdit* textBox(QWidget& form, const QString& name) {
    return control<QPlainTextEdit>(form, name);
}

inline void click(QWidget& form, const QString& name) {
    QTest::mouseClick(control<QWidget>(form, name), Qt::LeftButton);
}

}  // namespace velmora::test
