#include "common/xpbutton.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace velmora {

XPButton::XPButton(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::ArrowCursor);
}

void XPButton::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void XPButton::setTextColor(const QColor& color) {
    textColor_ = color;
    update();
}

QSize XPButton::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(caption_) + 16, fm.height() + 10);
}

void XPButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient face(r.topLeft(), r.bottomLeft());
    const QColor top = down_ ? QColor(0xD8, 0xD8, 0xD0) : QColor(0xFF, 0xFF, 0xFF);
    const QColor bottom = down_ ? QColor(0xF2, 0xF2, 0xEC) : QColor(0xE3, 0xE3, 0xDB);
    face.setColorAt(0, top);
    face.setColorAt(1, bottom);
    p.setBrush(face);
    p.setPen(hover_ ? QColor(0xE5, 0x97, 0x00) : QColor(0x00, 0x3C, 0x74));
    p.drawRoundedRect(r, 3, 3);
    p.setPen(textColor_);
    p.setFont(font());
    p.drawText(rect().translated(down_ ? 1 : 0, down_ ? 1 : 0), Qt::AlignCenter, caption_);
}

void XPButton::mousePressEvent(QMouseEvent* e) {
    down_ = true;
    update();
    Q_EMIT buttonPressed(e->button(), e->modifiers(), e->position().toPoint());
}

void XPButton::mouseReleaseEvent(QMouseEvent*) {
    down_ = false;
    update();
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
