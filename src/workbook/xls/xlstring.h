#pragma once

#include <QByteArray>
#include <QString>

// Strings as BIFF8 stores them: a character count, a flag byte saying 8-bit
// (Latin-1) or 16-bit (UTF-16LE) characters, then the characters.
namespace velmora::xls {

class RecordReader;

// Line breaks are LF inside the program: CR LF and a lone CR become LF.
QString normalizeLineBreaks(const QString& text);

// Reads an XLUnicodeString (2-byte count) or a ShortXLUnicodeString (1-byte
// count) without rich-text or phonetic parts, as LABEL, FORMAT, FONT,
// BOUNDSHEET and STRING hold them.
QString readUnicodeString(RecordReader& in, int countBytes);

// True when every character fits the 8-bit form.
bool fitsLatin1(QStringView text);

// Appends count, flag byte and characters; countBytes is 1 or 2.
void appendUnicodeString(QByteArray& out, const QString& text, int countBytes);

}  // namespace velmora::xls
