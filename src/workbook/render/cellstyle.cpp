#include "workbook/render/cellstyle.h"

#include "workbook/render/fontfaces.h"

#include <cmath>

namespace velmora {

namespace {

QColor colour(const xls::Colour& c) {
    return c ? QColor::fromRgb(QRgb(0xFF000000u | *c)) : QColor();
}

// Fill patterns 2-18 are shades and hatches; Qt's dense patterns come close.
Qt::BrushStyle brushFor(int pattern) {
    switch (pattern) {
        case 1:
            return Qt::SolidPattern;
        case 2:
            return Qt::Dense4Pattern;  // 50 %
        case 3:
            return Qt::Dense3Pattern;  // 75 %
        case 4:
            return Qt::Dense5Pattern;  // 25 %
        case 5:
        case 11:
            return Qt::HorPattern;
        case 6:
        case 12:
            return Qt::VerPattern;
        case 7:
        case 13:
            return Qt::FDiagPattern;
        case 8:
        case 14:
            return Qt::BDiagPattern;
        case 9:
        case 15:
            return Qt::DiagCrossPattern;
        case 10:
        case 16:
            return Qt::CrossPattern;
        case 17:
            return Qt::Dense6Pattern;  // 12.5 %
        case 18:
            return Qt::Dense7Pattern;  // 6.25 %
        default:
            return Qt::NoBrush;
    }
}

Qt::Alignment verticalFor(xls::VAlign v) {
    switch (v) {
        case xls::VAlign::Top:
            return Qt::AlignTop;
        case xls::VAlign::Center:
        case xls::VAlign::Justify:
        case xls::VAlign::Distributed:
            return Qt::AlignVCenter;
        default:
            return Qt::AlignBottom;
    }
}

std::unique_ptr<CellStyle> make(const xls::CellStyle& s, const xls::FontStyle& f) {
    auto out = std::make_unique<CellStyle>();
    out->font.setFamily(fontFamily(f.name, f.bold));
    // Sizes in the file are points at 96 dpi, like the column widths.
    out->font.setPixelSize(std::max(1, int(std::lround(f.points * 4 / 3))));
    out->font.setBold(f.bold);
    out->font.setItalic(f.italic);
    out->font.setUnderline(f.underline);
    out->font.setStrikeOut(f.strikeOut);
    out->text = colour(f.colour);
    if (s.pattern != 0) {
        out->fill = colour(s.patternColour);
        out->fillPattern = brushFor(s.pattern);
        out->fillBack = colour(s.backgroundColour);
        if (!out->fill.isValid())
            out->fill = Qt::black;
    }
    out->horizontal = s.horizontal;
    out->vertical = verticalFor(s.vertical);
    out->wrap = s.wrap || s.horizontal == xls::HAlign::Justify;
    out->indentPx = s.indent * 3 * 7;
    out->left = s.left;
    out->right = s.right;
    out->top = s.top;
    out->bottom = s.bottom;
    out->format = formula::NumberFormat(s.format);
    return out;
}

}  // namespace

QPen borderPen(const xls::BorderLine& line) {
    QPen pen(colour(line.colour).isValid() ? colour(line.colour) : QColor(Qt::black));
    pen.setCapStyle(Qt::FlatCap);
    switch (line.style) {
        case 0:
            return QPen(Qt::NoPen);
        case 2:
        case 8:
        case 10:
        case 12:
            pen.setWidth(2);
            break;  // medium, medium dashed
        case 5:
        case 6:
            pen.setWidth(3);
            break;  // thick, double
        default:
            pen.setWidth(1);
            break;
    }
    switch (line.style) {
        case 3:
        case 8:
            pen.setStyle(Qt::DashLine);
            break;
        case 4:
        case 7:
            pen.setStyle(Qt::DotLine);
            break;
        case 9:
        case 10:
        case 13:
            pen.setStyle(Qt::DashDotLine);
            break;
        case 11:
        case 12:
            pen.setStyle(Qt::DashDotDotLine);
            break;
        default:
            break;
    }
    return pen;
}

int borderWeight(const xls::BorderLine& line) {
    static const int weights[] = {0, 2, 4, 2, 1, 6, 5, 1, 3, 2, 3, 2, 3, 3};
    return line.style < 14 ? weights[line.style] : 1;
}

const CellStyle& CellStyles::at(int xf) const {
    const size_t i =
        xf >= 0 && size_t(xf) < styles_.styles.size() ? size_t(xf) : styles_.styles.size();
    if (made_.size() <= i)
        made_.resize(i + 1);
    if (!made_[i]) {
        const xls::CellStyle& s = styles_.style(int(i));
        made_[i] = make(s, styles_.font(s.font));
    }
    return *made_[i];
}

}  // namespace velmora
