// Styles of the description: {"bold": true, "size": 14, "font": "黑体",
// "colour": "#C00000", "align": "centre", "valign": "top", "wrap": true,
// "indent": 1, "format": "0.0", "fill": "#DDEBF7", "border": "thin" (every
// side of every cell), "box": "medium" (the outer sides of the range)}.
#include "description.h"

#include <QJsonArray>

namespace velmora::maketemplate {

namespace {

using xls::BorderLine;
using xls::CellAppearance;

quint32 colour(const QJsonValue& v) {
    const QString text = v.toString();
    bool ok = false;
    const quint32 rgb = text.mid(1).toUInt(&ok, 16);
    if (!text.startsWith(u'#') || text.size() != 7 || !ok)
        throw DescriptionError(QStringLiteral("bad colour \"%1\"").arg(text));
    return rgb;
}

BorderLine line(const QJsonValue& v) {
    static const QStringList styles = {"none",   "thin",  "medium", "dashed",
                                       "dotted", "thick", "double", "hair"};
    const qsizetype style = styles.indexOf(v.toString());
    if (style < 0)
        throw DescriptionError(QStringLiteral("bad border \"%1\"").arg(v.toString()));
    return BorderLine{quint8(style), std::nullopt};
}

template <typename E>
E choice(const QJsonValue& v, const QStringList& names, const QList<E>& values) {
    const qsizetype i = names.indexOf(v.toString());
    if (i < 0)
        throw DescriptionError(QStringLiteral("bad alignment \"%1\"").arg(v.toString()));
    return values[i];
}

// One style over a cell; edges says which sides of the range the cell is on
// (left, right, top, bottom) for "box".
void apply(const QJsonObject& style, CellAppearance& a, const bool edges[4]) {
    for (auto it = style.begin(); it != style.end(); ++it) {
        const QString& key = it.key();
        const QJsonValue& v = it.value();
        if (key == u"bold")
            a.font.bold = v.toBool();
        else if (key == u"italic")
            a.font.italic = v.toBool();
        else if (key == u"underline")
            a.font.underline = v.toBool();
        else if (key == u"size")
            a.font.points = v.toDouble();
        else if (key == u"font")
            a.font.name = v.toString();
        else if (key == u"colour")
            a.font.colour = colour(v);
        else if (key == u"align")
            a.style.horizontal =
                choice<xls::HAlign>(v, {"general", "left", "centre", "right", "justify"},
                                    {xls::HAlign::General, xls::HAlign::Left, xls::HAlign::Center,
                                     xls::HAlign::Right, xls::HAlign::Justify});
        else if (key == u"valign")
            a.style.vertical =
                choice<xls::VAlign>(v, {"top", "centre", "bottom"},
                                    {xls::VAlign::Top, xls::VAlign::Center, xls::VAlign::Bottom});
        else if (key == u"wrap")
            a.style.wrap = v.toBool();
        else if (key == u"indent")
            a.style.indent = v.toInt();
        else if (key == u"format")
            a.style.format = v.toString();
        else if (key == u"fill") {
            a.style.pattern = 1;
            a.style.patternColour = colour(v);
        } else if (key == u"border") {
            a.style.left = a.style.right = a.style.top = a.style.bottom = line(v);
        } else if (key == u"box") {
            BorderLine* sides[] = {&a.style.left, &a.style.right, &a.style.top, &a.style.bottom};
            for (int i = 0; i < 4; ++i)
                if (edges[i])
                    *sides[i] = line(v);
        } else {
            throw DescriptionError(QStringLiteral("unknown style setting \"%1\"").arg(key));
        }
    }
}

}  // namespace

void applyLooks(const QJsonObject& styles, const QJsonArray& looks, xls::SheetLayout& layout) {
    for (const QJsonValue& entry : looks) {
        const QJsonArray parts = entry.toArray();
        if (parts.size() < 2)
            throw DescriptionError(QStringLiteral("a look needs a range and a style"));
        const Range range = parseRange(parts[0].toString());
        for (qsizetype k = 1; k < parts.size(); ++k) {
            const QString name = parts[k].toString();
            if (!styles.contains(name))
                throw DescriptionError(QStringLiteral("no style \"%1\"").arg(name));
            const QJsonObject style = styles.value(name).toObject();
            for (int r = range.first.row; r <= range.last.row; ++r)
                for (int c = range.first.column; c <= range.last.column; ++c) {
                    const bool edges[4] = {c == range.first.column, c == range.last.column,
                                           r == range.first.row, r == range.last.row};
                    const auto at = layout.cells.try_emplace({r, c}, xls::defaultAppearance());
                    apply(style, at.first->second, edges);
                }
        }
    }
}

}  // namespace velmora::maketemplate
