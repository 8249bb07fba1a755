#include "workbook/render/celllook.h"

#include "workbook/xls/builtinstyles.h"

namespace velmora {

namespace {

// General alignment: numbers to the right, booleans and errors centred,
// texts to the left, as spreadsheet programs show them.
Qt::Alignment horizontalFor(const CellStyle& s, CellValue::Kind kind) {
    switch (s.horizontal) {
        case xls::HAlign::Center:
        case xls::HAlign::CenterAcross:
        case xls::HAlign::Distributed:
            return Qt::AlignHCenter;
        case xls::HAlign::Right:
            return Qt::AlignRight;
        case xls::HAlign::General:
            if (kind == CellValue::Kind::Number)
                return Qt::AlignRight;
            if (kind == CellValue::Kind::Boolean || kind == CellValue::Kind::Error)
                return Qt::AlignHCenter;
            return Qt::AlignLeft;
        default:
            return Qt::AlignLeft;
    }
}

}  // namespace

CellLook lookOf(const CellValue& v, const CellStyle& style, bool zeros) {
    CellLook look;
    look.style = &style;
    look.kind = v.kind;
    look.colour = style.text;
    formula::Shown shown;
    switch (v.kind) {
        case CellValue::Kind::Number:
            if (v.number != 0 || zeros)
                shown = style.format.number(v.number);
            break;
        case CellValue::Kind::Text:
            shown = style.format.text(v.text);
            break;
        default:
            shown.text = v.toText();
            break;
    }
    look.text = shown.text;
    if (shown.colour)
        look.colour =
            QColor::fromRgb(QRgb(0xFF000000u | xls::defaultPalette()[size_t(shown.colour - 1)]));
    look.alignment = horizontalFor(style, v.kind) | style.vertical;
    return look;
}

}  // namespace velmora
