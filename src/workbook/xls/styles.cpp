#include "workbook/xls/styles.h"

#include "workbook/xls/builtinstyles.h"
#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"
#include "workbook/xls/xlstring.h"
#include "workbook/xls/xlsworkbook.h"

#include <QHash>

namespace velmora::xls {

namespace {

constexpr quint16 kPalette = 0x0092;
// Colour indices that are no palette entry: the window's text colour (64,
// 0x7FFF for fonts) and its background (65), and tooltip colours.
constexpr int kPaletteFirst = 8;

struct Palette {
    std::vector<quint32> colours = defaultPalette();

    Colour at(int index) const {
        if (index >= 0 && index < kPaletteFirst)
            return defaultPalette()[size_t(index)];
        const int i = index - kPaletteFirst;
        if (i >= 0 && size_t(i) < colours.size())
            return colours[size_t(i)];
        return std::nullopt;  // system colours
    }
};

FontStyle readFont(RecordReader& in, const Palette& palette) {
    FontStyle f;
    f.points = in.u16() / 20.0;
    const quint16 flags = in.u16();
    f.italic = flags & 0x0002;
    f.strikeOut = flags & 0x0008;
    f.colour = palette.at(in.u16());
    f.bold = in.u16() >= 600;
    in.u16();  // super- and subscript
    f.underline = in.u8() != 0;
    in.skip(3);  // family, character set, reserved
    f.name = readUnicodeString(in, 1);
    return f;
}

BorderLine line(quint32 style, quint32 colour, const Palette& palette) {
    BorderLine l;
    l.style = quint8(style & 0x0F);
    if (l.style != 0)
        l.colour = palette.at(int(colour & 0x7F));
    return l;
}

CellStyle readXf(const char* b, const QHash<int, QString>& codes, const Palette& palette) {
    CellStyle s;
    s.font = u16(b);
    const int ifmt = u16(b + 2);
    s.format = codes.contains(ifmt) ? codes.value(ifmt) : builtInFormatCode(ifmt);
    const quint8 align = u8(b + 6);
    s.horizontal = HAlign(align & 0x07);
    s.wrap = align & 0x08;
    s.vertical = VAlign(std::min((align >> 4) & 0x07, int(VAlign::Distributed)));
    s.indent = u8(b + 8) & 0x0F;
    const quint32 sides = u32(b + 10);
    const quint32 more = u32(b + 14);
    s.left = line(sides, sides >> 16, palette);
    s.right = line(sides >> 4, sides >> 23, palette);
    s.top = line(sides >> 8, more, palette);
    s.bottom = line(sides >> 12, more >> 7, palette);
    s.pattern = quint8((more >> 26) & 0x3F);
    const quint16 fill = u16(b + 18);
    s.patternColour = palette.at(fill & 0x7F);
    s.backgroundColour = palette.at((fill >> 7) & 0x7F);
    return s;
}

}  // namespace

const CellStyle& WorkbookStyles::style(int xf) const {
    static const CellStyle plain;
    return xf >= 0 && size_t(xf) < styles.size() ? styles[size_t(xf)] : plain;
}

const FontStyle& WorkbookStyles::font(int index) const {
    static const FontStyle plain;
    if (index >= 0 && size_t(index) < fonts.size())
        return fonts[size_t(index)];
    return fonts.empty() ? plain : fonts.front();
}

WorkbookStyles readStyles(const QByteArray& stream, const std::vector<Record>& globals) {
    // The palette may come after the fonts and formats that use it: it is
    // read first.
    Palette palette;
    for (const Record& r : globals) {
        if (r.type != kPalette || r.size < 2)
            continue;
        const char* b = r.body(stream);
        const int count = std::min<int>(u16(b), (r.size - 2) / 4);
        for (int i = 0; i < count && size_t(i) < palette.colours.size(); ++i) {
            const char* c = b + 2 + 4 * i;
            palette.colours[size_t(i)] = quint32(u8(c)) << 16 | quint32(u8(c + 1)) << 8 | u8(c + 2);
        }
    }
    WorkbookStyles styles;
    QHash<int, QString> codes;
    std::vector<size_t> xfs;
    for (size_t i = 0; i < globals.size(); ++i) {
        const Record& r = globals[i];
        try {
            if (r.type == rt::kFont && r.size >= 15) {
                RecordReader in(stream, globals, i, false);
                // Font index 4 does not exist: the fifth FONT record is index 5.
                if (styles.fonts.size() == 4)
                    styles.fonts.push_back(styles.fonts.front());
                styles.fonts.push_back(readFont(in, palette));
            } else if (r.type == rt::kFormat && r.size >= 5) {
                RecordReader in(stream, globals, i);
                const int ifmt = in.u16();
                codes[ifmt] = readUnicodeString(in, 2);
            }
        } catch (const XlsError&) {
            // A damaged font or format only loses its looks, never the cells.
        }
        if (r.type == rt::kXf)
            xfs.push_back(i);
    }
    // A short XF keeps its place, so that the indices after it stay right.
    styles.styles.reserve(xfs.size());
    for (size_t i : xfs)
        styles.styles.push_back(
            globals[i].size >= 20 ? readXf(globals[i].body(stream), codes, palette) : CellStyle());
    return styles;
}

}  // namespace velmora::xls
