#include "workbook/render/cellpainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace velmora {

namespace {
// As spreadsheet programs wrap: between words, and inside a word (a
// telephone number) too long for the line.
constexpr QTextOption::WrapMode kWrap = QTextOption::WrapAtWordBoundaryOrAnywhere;
}  // namespace

double wrappedHeight(const QFont& font, const QString& text, double width) {
    QTextOption option;
    option.setWrapMode(kWrap);
    double height = 0;
    for (const QString& paragraph : text.split(u'\n')) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            height += line.height();
        }
        layout.endLayout();
    }
    return height;
}

void paintFill(QPainter* p, const QRect& cell, const CellStyle& style) {
    if (style.fillPattern == Qt::NoBrush)
        return;
    if (style.fillPattern != Qt::SolidPattern && style.fillBack.isValid())
        p->fillRect(cell, style.fillBack);
    p->fillRect(cell, QBrush(style.fill, style.fillPattern));
}

void paintBorderSide(QPainter* p, const xls::BorderLine& line, const QRect& cell, Qt::Edge edge) {
    const QPen pen = borderPen(line);
    if (pen.style() == Qt::NoPen)
        return;
    const int w = pen.width();
    const bool vertical = edge == Qt::LeftEdge || edge == Qt::RightEdge;
    const int at = edge == Qt::LeftEdge    ? cell.left()
                   : edge == Qt::TopEdge   ? cell.top()
                   : edge == Qt::RightEdge ? cell.right() - w + 1
                                           : cell.bottom() - w + 1;
    const QRect band = vertical ? QRect(at, cell.top(), w, cell.height())
                                : QRect(cell.left(), at, cell.width(), w);
    if (line.style == 6) {  // double: the band's two outer pixel lines
        for (int k : {0, w - 1})
            p->fillRect(vertical ? QRect(band.left() + k, band.top(), 1, band.height())
                                 : QRect(band.left(), band.top() + k, band.width(), 1),
                        pen.color());
    } else if (pen.style() == Qt::SolidLine) {
        p->fillRect(band, pen.color());
    } else {
        p->setPen(pen);
        p->drawLine(vertical ? QLine(band.left(), band.top(), band.left(), band.bottom())
                             : QLine(band.left(), band.top(), band.right(), band.top()));
    }
}

const xls::BorderLine& heavierBorder(const xls::BorderLine& a, const xls::BorderLine& b) {
    return borderWeight(b) > borderWeight(a) ? b : a;
}

bool runsOn(const CellLook& look) {
    return !look.text.isEmpty() && look.kind == CellValue::Kind::Text &&
           (look.alignment & Qt::AlignLeft) && !look.style->wrap && !look.text.contains(u'\n');
}

QRect textArea(const QRect& area, const CellLook& look) {
    QRect text = area.adjusted(kCellTextMargin, 1, -kCellTextMargin, -1);
    if (look.alignment & Qt::AlignLeft)
        text.setLeft(text.left() + look.style->indentPx);
    else if (look.alignment & Qt::AlignRight)
        text.setRight(text.right() - look.style->indentPx);
    return text;
}

void paintText(QPainter* p, const QRect& area, const QRect& cell, const CellLook& look) {
    const CellStyle& style = *look.style;
    const QRect text = textArea(area, look);
    p->setFont(style.font);
    p->setPen(look.colour.isValid() ? look.colour : QColor(Qt::black));
    QString shown = look.text;
    const bool wrap = style.wrap || shown.contains(u'\n');
    if (!wrap && look.kind == CellValue::Kind::Number) {
        const QFontMetricsF metrics(style.font, p->device());
        if (metrics.horizontalAdvance(shown) > text.width())
            shown = QString(std::max(1, int(text.width() / metrics.horizontalAdvance(u'#'))), u'#');
    }
    p->save();
    p->setClipRect(cell, Qt::IntersectClip);
    if (style.wrap) {
        QTextOption option(look.alignment);
        option.setWrapMode(kWrap);
        p->drawText(QRectF(text), shown, option);
    } else {
        p->drawText(text, int(look.alignment), shown);
    }
    p->restore();
}

}  // namespace velmora
