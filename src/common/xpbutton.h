#pragma once

#include <QAbstractButton>
#include <QColor>

namespace velmora {

// The push button of the welcome window and the launcher: its text in a given
// font and text colour on a rounded, softly shaded face. Any mouse button
// activates it on the press (clicked), as do Space and Enter when it has the
// focus; the press is reported with the mouse button, the modifier keys and
// the position. Screen readers read its text as its name.
class XPButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
public:
    explicit XPButton(QWidget* parent = nullptr);

    QColor textColor() const { return textColor_; }
    void setTextColor(const QColor& color);

    QSize sizeHint() const override;

Q_SIGNALS:
    void buttonPressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    QColor textColor_ = Qt::black;
    bool hover_ = false;
};

}  // namespace velmora
