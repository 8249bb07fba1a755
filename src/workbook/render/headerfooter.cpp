#include "workbook/render/headerfooter.h"

namespace velmora {

HeaderParts headerParts(const QString& codes, const PageFields& fields) {
    HeaderParts parts;
    HeaderPart* part = &parts.centre;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QChar c = codes[i];
        if (c != u'&' || i + 1 >= codes.size()) {
            part->text += c;
            continue;
        }
        const QChar code = codes[++i];
        if (code.isDigit()) {
            qsizetype end = i;
            while (end < codes.size() && codes[end].isDigit()) ++end;
            part->points = codes.mid(i, end - i).toInt();
            i = end - 1;
            continue;
        }
        switch (code.toUpper().unicode()) {
            case u'L':
                part = &parts.left;
                break;
            case u'C':
                part = &parts.centre;
                break;
            case u'R':
                part = &parts.right;
                break;
            case u'P':
                part->text += QString::number(fields.page);
                break;
            case u'N':
                part->text += QString::number(fields.pages);
                break;
            case u'A':
                part->text += fields.sheet;
                break;
            case u'F':
                part->text += fields.file;
                break;
            case u'Z':
                part->text += fields.folder;
                break;
            case u'D':
                part->text += fields.date;
                break;
            case u'T':
                part->text += fields.time;
                break;
            case u'B':
                part->bold = !part->bold;
                break;
            case u'&':
                part->text += u'&';
                break;
            case u'"': {
                // &"font,style": the style may make it bold.
                const qsizetype end = codes.indexOf(u'"', i + 1);
                const QString font = codes.mid(i + 1, (end < 0 ? codes.size() : end) - i - 1);
                if (font.contains(QStringLiteral("加粗")) ||
                    font.contains(QLatin1String("Bold"), Qt::CaseInsensitive))
                    part->bold = true;
                i = end < 0 ? codes.size() : end;
                break;
            }
            default:
                break;  // underline, italic, pictures ...: the text shows without them
        }
    }
    return parts;
}

}  // namespace velmora
