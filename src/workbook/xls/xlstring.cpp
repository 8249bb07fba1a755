#include "workbook/xls/xlstring.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"

namespace velmora::xls {

QString normalizeLineBreaks(const QString& text) {
    if (!text.contains(u'\r'))
        return text;
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

QString readUnicodeString(RecordReader& in, int countBytes) {
    const int count = countBytes == 1 ? in.u8() : in.u16();
    const quint8 flags = in.u8();
    // Rich-text runs and phonetic data may follow some strings; callers
    // that meet them read them through the shared string table code.
    return in.chars(count, flags & 0x01);
}

bool fitsLatin1(QStringView text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

void appendUnicodeString(QByteArray& out, const QString& text, int countBytes) {
    if (countBytes == 1)
        add8(out, quint8(text.size()));
    else
        add16(out, quint16(text.size()));
    const bool wide = !fitsLatin1(text);
    add8(out, wide ? 1 : 0);
    if (wide) {
        for (QChar c : text) add16(out, c.unicode());
    } else {
        out.append(text.toLatin1());
    }
}

}  // namespace velmora::xls
