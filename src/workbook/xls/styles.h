#pragma once

#include <QString>
#include <optional>
#include <vector>

// How cells look, as the workbook globals describe it: the FONT records, the
// cell formats (XF) with their number format, alignment, borders and fill,
// and the colour palette they index. Plain values: turning them into fonts
// and colours of a window is the window's business.
namespace velmora::xls {

struct Record;

// 0xRRGGBB; nullopt is the automatic colour (the window's text or background).
using Colour = std::optional<quint32>;

struct FontStyle {
    QString name = QStringLiteral("Arial");
    double points = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    Colour colour;
    friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

enum class HAlign : quint8 {
    General,
    Left,
    Center,
    Right,
    Fill,
    Justify,
    CenterAcross,
    Distributed
};
enum class VAlign : quint8 { Top, Center, Bottom, Justify, Distributed };

// A border line: BIFF8's line style (0 none, 1 thin, 2 medium, 3 dashed,
// 4 dotted, 5 thick, 6 double, 7 hair, 8-13 medium and dash-dot variants).
struct BorderLine {
    quint8 style = 0;
    Colour colour;
    friend bool operator==(const BorderLine&, const BorderLine&) = default;
};

struct CellStyle {
    int font = 0;  // index into WorkbookStyles::fonts
    QString format = QStringLiteral("General");
    HAlign horizontal = HAlign::General;
    VAlign vertical = VAlign::Bottom;
    bool wrap = false;
    int indent = 0;  // in steps of three character widths
    BorderLine left, right, top, bottom;
    quint8 pattern = 0;  // fill pattern: 0 none, 1 solid, 2-18 shades and hatches
    Colour patternColour, backgroundColour;
    friend bool operator==(const CellStyle&, const CellStyle&) = default;
};

struct WorkbookStyles {
    std::vector<FontStyle> fonts;   // by the index cell formats use (4 is skipped in files)
    std::vector<CellStyle> styles;  // by XF index

    // The style of an XF index; a default style for one the file lacks.
    const CellStyle& style(int xf) const;
    const FontStyle& font(int index) const;
};

WorkbookStyles readStyles(const QByteArray& stream, const std::vector<Record>& globals);

// The number format code Excel means by a built-in index (0-58), as the
// Chinese versions show them; "General" for an index it does not define.
QString builtInFormatCode(int index);

}  // namespace velmora::xls
