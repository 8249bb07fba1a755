#include "workbook/xls/stylewriter.h"

#include "workbook/xls/builtinstyles.h"
#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"
#include "workbook/xls/xlstring.h"
#include "workbook/xls/xlserror.h"

#include <cmath>

namespace velmora::xls {

namespace {

constexpr quint16 kPalette = 0x0092;
constexpr int kFirstCellXf = 16;         // XF 0-14 are styles, 15 the default cell format
constexpr int kFirstCustomFormat = 164;  // lower indices are built in
constexpr int kAutomatic = 64, kAutomaticBack = 65, kAutomaticFont = 0x7FFF;

// Built-in number formats every language version shows alike; the others
// (dates, currencies) differ between them and get a FORMAT record instead.
constexpr int kPortableBuiltIns[] = {0, 1, 2, 3, 4, 9, 10, 11, 12, 13, 45, 46, 47, 48, 49};

QByteArray fontRecord(const FontStyle& f, int colour) {
    QByteArray b;
    add16(b, quint16(std::lround(std::clamp(f.points, 1.0, 409.0) * 20)));
    // Bit 0 repeats the weight for readers that look only there.
    add16(b, quint16((f.bold ? 0x0001 : 0) | (f.italic ? 0x0002 : 0) | (f.strikeOut ? 0x0008 : 0)));
    add16(b, quint16(colour));
    add16(b, f.bold ? 700 : 400);
    add16(b, 0);  // neither super- nor subscript
    add8(b, f.underline ? 1 : 0);
    add8(b, 0);                              // family
    add8(b, fitsLatin1(f.name) ? 0 : 0x86);  // Chinese names: the GB2312 character set
    add8(b, 0);
    appendUnicodeString(b, f.name.left(31), 1);
    return b;
}

// XF 0-14: the style formats Excel expects; XF 15: the default cell format.
QByteArray baseXf(bool style) {
    QByteArray b;
    add16(b, 0);
    add16(b, 0);
    add16(b, quint16(style ? 0xFFF5 : 0x0001));
    add8(b, 0x20);  // bottom aligned
    add8(b, 0);
    add8(b, 0);
    add8(b, style ? 0xF4 : 0x00);
    add32(b, 0);
    add32(b, 0);
    add16(b, quint16(kAutomatic | kAutomaticBack << 7));
    return b;
}

}  // namespace

CellAppearance defaultAppearance() {
    CellAppearance a;
    a.font.name = QStringLiteral("宋体");
    a.font.points = 12;
    return a;
}

StyleTable::StyleTable() : palette_(defaultPalette()) {
    // Fonts 0-3 are the default font, as Excel writes them.
    for (int i = 0; i < 4; ++i) {
        fonts_.push_back(defaultAppearance().font);
        fontColours_.push_back(kAutomaticFont);
    }
}

int StyleTable::fontIndex(const FontStyle& font) {
    for (size_t i = 0; i < fonts_.size(); ++i)
        if (i != 4 && fonts_[i] == font)
            return int(i);
    if (fonts_.size() == 4) {  // index 4 is never used
        fonts_.push_back(fonts_.front());
        fontColours_.push_back(kAutomaticFont);
    }
    fonts_.push_back(font);
    fontColours_.push_back(colourIndex(font.colour, kAutomaticFont));
    return int(fonts_.size() - 1);
}

int StyleTable::formatIndex(const QString& code) {
    for (int i : kPortableBuiltIns)
        if (builtInFormatCode(i) == code)
            return i;
    if (code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return 0;
    const auto known = formats_.constFind(code);
    if (known != formats_.constEnd())
        return *known;
    const int index = kFirstCustomFormat + int(formats_.size());
    formats_.insert(code, index);
    return index;
}

int StyleTable::colourIndex(const Colour& colour, int automatic) {
    if (!colour)
        return automatic;
    for (size_t i = 0; i < palette_.size(); ++i)
        if (palette_[i] == *colour)
            return int(i) + 8;
    // A colour the palette lacks takes an entry from its end.
    if (nextCustomColour_ < 8)
        throw XlsError(QStringLiteral("单元格格式用到的颜色太多了。"));
    palette_[size_t(nextCustomColour_ - 8)] = *colour;
    paletteChanged_ = true;
    return nextCustomColour_--;
}

int StyleTable::xf(const CellAppearance& look) {
    if (look.font == defaultAppearance().font && look.style == CellStyle())
        return 15;
    for (size_t i = 0; i < looks_.size(); ++i)
        if (looks_[i] == look)
            return kFirstCellXf + int(i);
    const CellStyle& s = look.style;
    const int font = fontIndex(look.font);
    const auto line = [&](const BorderLine& l) {
        return l.style == 0 ? 0u : quint32(colourIndex(l.colour, kAutomatic));
    };
    QByteArray b;
    add16(b, quint16(font));
    add16(b, quint16(formatIndex(s.format)));
    add16(b, 0x0001);  // locked, a cell format on the Normal style
    add8(b, quint8(quint8(s.horizontal) | (s.wrap ? 0x08 : 0) | quint8(s.vertical) << 4));
    add8(b, 0);  // no rotation
    add8(b, quint8(std::clamp(s.indent, 0, 15)));
    add8(b, 0xFC);  // number, font, alignment, borders, fill and protection are its own
    add32(b, quint32(s.left.style & 0x0F) | quint32(s.right.style & 0x0F) << 4 |
                 quint32(s.top.style & 0x0F) << 8 | quint32(s.bottom.style & 0x0F) << 12 |
                 line(s.left) << 16 | line(s.right) << 23);
    add32(b, line(s.top) | line(s.bottom) << 7 | quint32(s.pattern & 0x3F) << 26);
    const int fore = s.pattern ? colourIndex(s.patternColour, kAutomatic) : kAutomatic;
    const int back = s.pattern ? colourIndex(s.backgroundColour, kAutomaticBack) : kAutomaticBack;
    add16(b, quint16(fore | back << 7));
    looks_.push_back(look);
    xfs_.push_back(b);
    return kFirstCellXf + int(looks_.size() - 1);
}

QByteArray StyleTable::records() const {
    QByteArray out;
    for (size_t i = 0; i < fonts_.size(); ++i) {
        if (i == 4)
            continue;
        appendRecord(out, rt::kFont, fontRecord(fonts_[i], fontColours_[i]));
    }
    for (auto it = formats_.begin(); it != formats_.end(); ++it) {
        QByteArray b;
        add16(b, quint16(it.value()));
        appendUnicodeString(b, it.key(), 2);
        appendRecord(out, rt::kFormat, b);
    }
    for (int i = 0; i < kFirstCellXf; ++i) appendRecord(out, rt::kXf, baseXf(i < 15));
    for (const QByteArray& xf : xfs_) appendRecord(out, rt::kXf, xf);
    QByteArray normal;
    add16(normal, 0x8000);  // the built-in style Normal, on XF 0
    add16(normal, 0xFF00);
    appendRecord(out, rt::kStyle, normal);
    if (paletteChanged_) {
        QByteArray b;
        add16(b, quint16(palette_.size()));
        for (quint32 c : palette_) {
            add8(b, quint8(c >> 16));
            add8(b, quint8(c >> 8));
            add8(b, quint8(c));
            add8(b, 0);
        }
        appendRecord(out, kPalette, b);
    }
    return out;
}

}  // namespace velmora::xls
