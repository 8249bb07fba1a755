#include "common/xpbutton.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace velmora {

XPButton::XPButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::ArrowCursor);
}

void XPButton::setTextColor(const QColor& color) {
    textColor_ = color;
    update();
}

QSize XPButton::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(text()) + 16, fm.height() + 10);
}

void XPButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool down = isDown();
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient face(r.topLeft(), r.bottomLeft());
    const QColor top = down ? QColor(0xD8, 0xD8, 0xD0) : QColor(0xFF, 0xFF, 0xFF);
    const QColor bottom = down ? QColor(0xF2, 0xF2, 0xEC) : QColor(0xE3, 0xE3, 0xDB);
    face.setColorAt(0, top);
    face.setColorAt(1, bottom);
    p.setBrush(face);
    p.setPen(hover_ ? QColor(0xE5, 0x97, 0x00) : QColor(0x00, 0x3C, 0x74));
    p.drawRoundedRect(r, 3, 3);
    if (hasFocus()) {
        p.setPen(QPen(textColor_, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(3, 3, -3, -3), 2, 2);
    }
    p.setPen(textColor_);
    p.setFont(font());
    p.drawText(rect().translated(down ? 1 : 0, down ? 1 : 0), Qt::AlignCenter, text());
}

// The window acts on the press, whichever mouse button made it.
void XPButton::mousePressEvent(QMouseEvent* e) {
    setDown(true);
    Q_EMIT buttonPressed(e->button(), e->modifiers(), e->position().toPoint());
    Q_EMIT clicked();
}

void XPButton::mouseReleaseEvent(QMouseEvent*) {
    setDown(false);
}

// Space is the button's own key; Enter activates it too.
void XPButton::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !e->isAutoRepeat())
        click();
    else
        QAbstractButton::keyPressEvent(e);
}

void XPButton::enterEvent(QEnterEvent*) {
    hover_ = true;
    update();
}

void XPButton::leaveEvent(QEvent*) {
    hover_ = false;
    update();
}

}  // namespace velmora
