#include "workbook/cellvalue.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>

namespace velmora {

CellValue CellValue::makeText(const QString& t) {
    CellValue v;
    v.kind = Kind::Text;
    v.text = t;
    return v;
}

CellValue CellValue::makeNumber(double n, bool date) {
    CellValue v;
    v.kind = Kind::Number;
    v.number = n;
    v.isDate = date;
    return v;
}

CellValue CellValue::makeBoolean(bool b) {
    CellValue v;
    v.kind = Kind::Boolean;
    v.boolean = b;
    return v;
}

CellValue CellValue::makeError(quint8 code) {
    CellValue v;
    v.kind = Kind::Error;
    v.error = code;
    return v;
}

namespace {
// Full-width digits, minus sign and decimal point (as a Chinese input method
// types them) as their ASCII forms.
QString halfWidth(const QString& t) {
    QString out = t;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if ((u >= u'\uFF10' && u <= u'\uFF19') || u == u'\uFF0D' || u == u'\uFF0E')
            c = QChar(u - 0xFEE0);
    }
    return out;
}
}  // namespace

CellValue CellValue::typed(const QString& t) {
    if (t.isEmpty())
        return CellValue();
    static const QRegularExpression plain(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    const QString number = halfWidth(t);
    if (number.size() <= 20 && plain.match(number).hasMatch())
        return makeNumber(number.toDouble());
    return makeText(t);
}

QString CellValue::toText() const {
    switch (kind) {
        case Kind::Empty:
            return QString();
        case Kind::Text:
            return text;
        case Kind::Number:
            return isDate ? dateText(number) : numberText(number);
        case Kind::Boolean:
            return boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        case Kind::Error:
            return errorText(error);
    }
    return QString();
}

// A number's usual text: at most 15 significant digits, no trailing zeros,
// scientific notation ("1E+20", "1.5E-07") only where plain decimal would be
// longer than 15 digits, as spreadsheet programs show a General number.
QString numberText(double n) {
    if (std::isnan(n) || std::isinf(n))
        return QStringLiteral("#NUM!");
    if (n == 0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", n);
    QString s = QString::fromLatin1(buf);
    const qsizetype e = s.indexOf(u'E');
    QString mantissa = e < 0 ? s : s.left(e);
    if (mantissa.contains(u'.')) {
        while (mantissa.endsWith(u'0'))
            mantissa.chop(1);
        if (mantissa.endsWith(u'.'))
            mantissa.chop(1);
    }
    if (e < 0)
        return mantissa;
    // Exponent: sign always, at least two digits ("E+20", "E-07").
    const int exponent = s.mid(e + 1).toInt();
    return QStringLiteral("%1E%2%3")
        .arg(mantissa, exponent < 0 ? QStringLiteral("-") : QStringLiteral("+"))
        .arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
}

QString dateText(double serial) {
    // Serial 1 is 1900-01-01; the spreadsheet programs' phantom 1900-02-29
    // (serial 60) means serials from 61 on count from 1899-12-30.
    if (serial < 0 || serial >= 2958466)
        return numberText(serial);
    double whole = std::floor(serial);
    long long seconds = std::llround((serial - whole) * 86400.0);
    if (seconds >= 86400) {
        whole += 1;
        seconds -= 86400;
    }
    const long long day = static_cast<long long>(whole);
    QString date;
    if (day >= 1) {
        const QDate d = day >= 61 ? QDate(1899, 12, 30).addDays(day)
                                  : QDate(1899, 12, 31).addDays(day);
        date = day == 60 ? QStringLiteral("1900-2-29")
                         : QStringLiteral("%1-%2-%3").arg(d.year()).arg(d.month()).arg(d.day());
    }
    if (seconds == 0)
        return date.isEmpty() ? QStringLiteral("0:00:00") : date;
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(seconds / 3600)
                             .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return date.isEmpty() ? time : date + u' ' + time;
}

QString errorText(quint8 code) {
    switch (code) {
        case 0x00: return QStringLiteral("#NULL!");
        case 0x07: return QStringLiteral("#DIV/0!");
        case 0x0F: return QStringLiteral("#VALUE!");
        case 0x17: return QStringLiteral("#REF!");
        case 0x1D: return QStringLiteral("#NAME?");
        case 0x24: return QStringLiteral("#NUM!");
        case 0x2A: return QStringLiteral("#N/A");
        case 0x2B: return QStringLiteral("#GETTING_DATA");
        default: return QStringLiteral("#N/A");
    }
}

}  // namespace velmora
