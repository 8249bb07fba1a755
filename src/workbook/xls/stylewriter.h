#pragma once

#include "workbook/xls/sheetlayout.h"

#include <QByteArray>
#include <QMap>
#include <vector>

// The cell formats of a new workbook: every distinct look becomes one XF
// (an equal look reuses it), with the FONT and FORMAT records it names and
// the palette entries its colours need.
namespace velmora::xls {

class StyleTable {
public:
    StyleTable();

    // The XF index of a look: 15 for the default look, else an XF of its own
    // shared by every equal look.
    int xf(const CellAppearance& look);

    // FONT, FORMAT, XF and STYLE records, then PALETTE when a colour needed
    // a palette entry of its own; they go where the globals keep them.
    QByteArray records() const;

private:
    int fontIndex(const FontStyle& font);
    int formatIndex(const QString& code);
    // Palette index of a colour; automatic gives `automatic`.
    int colourIndex(const Colour& colour, int automatic);

    std::vector<FontStyle> fonts_;       // font 4 does not exist: fonts_[4] is never written
    std::vector<int> fontColours_;       // their palette indices
    QMap<QString, int> formats_;         // the codes that need a FORMAT record
    std::vector<CellAppearance> looks_;  // from XF 16 on
    std::vector<QByteArray> xfs_;
    std::vector<quint32> palette_;  // indices 8 to 63
    int nextCustomColour_ = 63;
    bool paletteChanged_ = false;
};

}  // namespace velmora::xls
