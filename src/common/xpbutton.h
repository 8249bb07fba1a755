#pragma once

#include <QColor>
#include <QWidget>

namespace velmora {

// The push button of the welcome window and the launcher: a caption in a
// given font and text colour on a rounded, softly shaded face. It reports a
// press with the mouse button, the modifier keys and the position; the window
// that owns it decides what a press means.
class XPButton : public QWidget {
    Q_OBJECT
public:
    explicit XPButton(QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    QColor textColor() const { return textColor_; }
    void setTextColor(const QColor& color);

    QSize sizeHint() const override;

Q_SIGNALS:
    void buttonPressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    QString caption_;
    QColor textColor_ = Qt::black;
    bool hover_ = false;
    bool down_ = false;
};

}  // namespace velmora
