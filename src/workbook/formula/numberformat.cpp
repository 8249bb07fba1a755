#include "workbook/formula/numberformat.h"

#include "workbook/formula/datetime.h"
#include "workbook/formula/rounding.h"

#include <QStringList>
#include <cmath>
#include <cstdio>

namespace velmora::formula {

namespace {

// The sections of a code, split at ';' outside quotes and brackets.
QStringList sections(const QString& code) {
    QStringList out;
    QString current;
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'\\' && !quoted && i + 1 < code.size()) {
            current += c;
            current += code[++i];
            continue;
        }
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'[')
            ++bracket;
        else if (!quoted && c == u']')
            bracket = std::max(0, bracket - 1);
        if (c == u';' && !quoted && bracket == 0) {
            out << current;
            current.clear();
            continue;
        }
        current += c;
    }
    out << current;
    return out;
}

struct Token {
    enum Kind { Literal, Digit, Point, Exponent, Date, Text, Percent };
    Kind kind;
    QString text;  // Literal: the text; Digit: '0', '#' or '?'; Date: the code ("yyyy", "mm")
    bool afterPoint = false;
};

struct Section {
    std::vector<Token> tokens;
    bool isDate = false;
    bool elapsed = false;
    bool thousands = false;
    int scale = 0;  // trailing commas: divide by 1000 each
    bool ok = true;
    bool general = false;
};

bool isDateLetter(QChar c) {
    const char16_t u = c.toLower().unicode();
    return u == u'y' || u == u'm' || u == u'd' || u == u'h' || u == u's' || u == u'e' ||
           u == u'a';
}

Section parse(const QString& code) {
    Section s;
    bool afterPoint = false, exponent = false;
    int lastDigit = -1;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        const auto literal = [&](const QString& t) { s.tokens.push_back({Token::Literal, t}); };
        if (c == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            if (end < 0) {
                s.ok = false;
                return s;
            }
            literal(code.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == u'\\' && i + 1 < code.size()) {
            literal(code.mid(++i, 1));
        } else if (c == u'_' && i + 1 < code.size()) {
            literal(QStringLiteral(" "));
            ++i;
        } else if (c == u'*' && i + 1 < code.size()) {
            ++i;  // fill: nothing in a text
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            if (end < 0) {
                s.ok = false;
                return s;
            }
            const QString inside = code.mid(i + 1, end - i - 1);
            if (inside.startsWith(u'$')) {
                // [$-804] a locale, [$¥-804] a currency symbol and a locale.
                const qsizetype dash = inside.indexOf(u'-');
                literal(inside.mid(1, dash < 0 ? -1 : dash - 1));
            } else if (inside.compare(QLatin1String("h"), Qt::CaseInsensitive) == 0 ||
                       inside.compare(QLatin1String("hh"), Qt::CaseInsensitive) == 0) {
                s.tokens.push_back({Token::Date, QStringLiteral("[h]")});
                s.isDate = s.elapsed = true;
            } else if (!inside.isEmpty() && (inside[0] == u'<' || inside[0] == u'>' ||
                                             inside[0] == u'=' || inside[0].isDigit())) {
                s.ok = false;  // conditions
                return s;
            }
            i = end;  // colours and the like change nothing in a text
        } else if (code.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            s.general = true;
            i += 6;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            if (exponent) {
                s.tokens.push_back({Token::Digit, QString(c), true});
                s.tokens.back().kind = Token::Digit;
                s.tokens.back().text = QStringLiteral("e") + c;
            } else {
                s.tokens.push_back({Token::Digit, QString(c), afterPoint});
            }
            lastDigit = int(s.tokens.size()) - 1;
        } else if (c == u'.' && !afterPoint && !s.isDate) {
            afterPoint = true;
            s.tokens.push_back({Token::Point, QStringLiteral(".")});
        } else if (c == u',' && !s.isDate) {
            // Between digits: thousands; after the last digit: a scale.
            const bool digitFollows = i + 1 < code.size() &&
                                      (code[i + 1] == u'0' || code[i + 1] == u'#' ||
                                       code[i + 1] == u'?');
            if (digitFollows && lastDigit >= 0 && !afterPoint)
                s.thousands = true;
            else if (lastDigit >= 0)
                ++s.scale;
            else
                literal(QStringLiteral(","));
        } else if ((c == u'E' || c == u'e') && i + 1 < code.size() &&
                   (code[i + 1] == u'+' || code[i + 1] == u'-') && !s.isDate) {
            exponent = true;
            s.tokens.push_back({Token::Exponent, code.mid(i + 1, 1)});
            ++i;
        } else if (c == u'%') {
            s.tokens.push_back({Token::Percent, QStringLiteral("%")});
        } else if (c == u'@') {
            s.tokens.push_back({Token::Text, QString()});
        } else if (code.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0 ||
                   code.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            s.ok = false;  // the words for morning and afternoon depend on the language
            return s;
        } else if (isDateLetter(c) &&
                   (c.toLower() != u'a' ||
                    code.mid(i, 3).compare(QLatin1String("aaa"), Qt::CaseInsensitive) == 0)) {
            qsizetype j = i;
            while (j < code.size() && code[j].toLower() == c.toLower()) ++j;
            s.tokens.push_back({Token::Date, code.mid(i, j - i).toLower()});
            s.isDate = true;
            i = j - 1;
        } else if (c == u'.' && s.isDate) {
            // Fractions of a second: ".0", ".00" after seconds.
            qsizetype j = i + 1;
            while (j < code.size() && code[j] == u'0') ++j;
            if (j == i + 1) {
                literal(QStringLiteral("."));
            } else {
                s.tokens.push_back({Token::Date, code.mid(i, j - i)});
                i = j - 1;
            }
        } else {
            literal(QString(c));
        }
    }
    return s;
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

Formatted formatDate(double value, const Section& s, bool date1904) {
    Formatted out;
    if (value < 0) {
        out.error = true;
        return out;
    }
    int decimals = 0;
    for (const Token& t : s.tokens)
        if (t.kind == Token::Date && t.text.startsWith(u'.'))
            decimals = int(t.text.size()) - 1;
    // Time to the shown fraction of a second.
    const double unit = std::pow(10.0, decimals);
    double whole = std::floor(value);
    double ticks = std::round((value - whole) * 86400.0 * unit);
    if (ticks >= 86400.0 * unit) {
        whole += 1;
        ticks -= 86400.0 * unit;
    }
    YearMonthDay ymd;
    if (!serialDate(whole, date1904, ymd)) {
        out.error = true;
        return out;
    }
    const qint64 seconds = qint64(ticks / unit);
    const int h = int(seconds / 3600), mi = int(seconds / 60 % 60), se = int(seconds % 60);
    const int wd = weekday(whole, date1904);
    static const char16_t* const cnDays[] = {u"日", u"一", u"二", u"三", u"四", u"五", u"六"};
    // Which 'm' are minutes: right after an hour or right before a second.
    std::vector<bool> minutes(s.tokens.size(), false);
    std::vector<size_t> dates;
    for (size_t i = 0; i < s.tokens.size(); ++i)
        if (s.tokens[i].kind == Token::Date && !s.tokens[i].text.startsWith(u'.'))
            dates.push_back(i);
    for (size_t k = 0; k < dates.size(); ++k) {
        const QString& t = s.tokens[dates[k]].text;
        if (!t.startsWith(u'm') || t.size() > 2)
            continue;
        const bool afterHour = k > 0 && (s.tokens[dates[k - 1]].text.startsWith(u'h') ||
                                         s.tokens[dates[k - 1]].text == QLatin1String("[h]"));
        const bool beforeSecond = k + 1 < dates.size() && s.tokens[dates[k + 1]].text.startsWith(u's');
        minutes[dates[k]] = afterHour || beforeSecond;
    }
    for (size_t i = 0; i < s.tokens.size(); ++i) {
        const Token& t = s.tokens[i];
        if (t.kind == Token::Literal) {
            out.text += t.text;
            continue;
        }
        if (t.kind != Token::Date) {
            out.ok = false;
            return out;
        }
        const QString& d = t.text;
        if (d == QLatin1String("[h]")) {
            out.text += QString::number(qint64(whole) * 24 + h);
        } else if (d.startsWith(u'y') || d.startsWith(u'e')) {
            out.text += d.size() <= 2 && d[0] == u'y' ? twoDigits(ymd.year % 100)
                                                       : QString::number(ymd.year);
        } else if (d.startsWith(u'm') && minutes[i]) {
            out.text += d.size() == 1 ? QString::number(mi) : twoDigits(mi);
        } else if (d.startsWith(u'm')) {
            if (d.size() > 2) {
                out.ok = false;  // month names depend on the language
                return out;
            }
            out.text += d.size() == 1 ? QString::number(ymd.month) : twoDigits(ymd.month);
        } else if (d.startsWith(u'd')) {
            if (d.size() > 2) {
                out.ok = false;
                return out;
            }
            out.text += d.size() == 1 ? QString::number(ymd.day) : twoDigits(ymd.day);
        } else if (d.startsWith(u'a')) {
            // aaa: 一 .. 日, aaaa: 星期一, as Chinese spreadsheets show weekdays.
            const QString day = QString::fromUtf16(cnDays[wd - 1]);
            out.text += d.size() >= 4 ? QStringLiteral("星期") + day : day;
        } else if (d.startsWith(u'h')) {
            out.text += d.size() == 1 ? QString::number(h) : twoDigits(h);
        } else if (d.startsWith(u's')) {
            out.text += d.size() == 1 ? QString::number(se) : twoDigits(se);
        } else if (d.startsWith(u'.')) {
            const qint64 fraction = qint64(ticks) % qint64(unit);
            out.text += u'.' + QStringLiteral("%1").arg(fraction, decimals, 10, QLatin1Char('0'));
        } else {
            out.ok = false;
            return out;
        }
    }
    return out;
}

Formatted formatDigits(double value, const Section& s, bool negativeSign) {
    Formatted out;
    int percent = 0, integerSlots = 0, fractionSlots = 0, exponentSlots = 0;
    bool exponent = false;
    QString exponentSign;
    for (const Token& t : s.tokens) {
        if (t.kind == Token::Percent)
            ++percent;
        else if (t.kind == Token::Digit && t.text.startsWith(u'e'))
            ++exponentSlots;
        else if (t.kind == Token::Digit && t.afterPoint)
            ++fractionSlots;
        else if (t.kind == Token::Digit)
            ++integerSlots;
        else if (t.kind == Token::Exponent) {
            exponent = true;
            exponentSign = t.text;
        } else if (t.kind == Token::Text || t.kind == Token::Date) {
            out.ok = false;
            return out;
        }
    }
    double v = std::fabs(value) * std::pow(100.0, percent) / std::pow(1000.0, s.scale);
    int power = 0;
    if (exponent && v != 0) {
        // Mantissa with as many integer digits as the code has places.
        const int places = std::max(integerSlots, 1);
        power = int(std::floor(std::log10(v))) - (places - 1);
        v = v / std::pow(10.0, power);
        v = roundDigits(v, fractionSlots, Rounding::HalfAwayFromZero);
        if (v >= std::pow(10.0, places)) {
            v /= 10;
            ++power;
        }
    } else {
        v = roundDigits(v, fractionSlots, Rounding::HalfAwayFromZero);
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", fractionSlots, v);
    const QString fixed = QString::fromLatin1(buffer);
    const qsizetype point = fixed.indexOf(u'.');
    QString integer = point < 0 ? fixed : fixed.left(point);
    QString fraction = point < 0 ? QString() : fixed.mid(point + 1);
    if (integer == QLatin1String("0"))
        integer.clear();
    // Digits go right to left into the integer places; the leftmost place
    // takes every digit left over.
    std::vector<QString> slotText(s.tokens.size());
    {
        qsizetype digit = integer.size();
        int slot = integerSlots;
        for (size_t i = s.tokens.size(); i-- > 0;) {
            const Token& t = s.tokens[i];
            if (t.kind != Token::Digit || t.afterPoint || t.text.startsWith(u'e'))
                continue;
            --slot;
            QString here;
            if (slot == 0) {
                here = integer.left(std::max<qsizetype>(digit, 0));
                digit = 0;
            } else if (digit > 0) {
                here = integer.mid(--digit, 1);
            }
            if (here.isEmpty())
                here = t.text == QLatin1String("0") ? QStringLiteral("0")
                       : t.text == QLatin1String("?") ? QStringLiteral(" ")
                                                      : QString();
            slotText[i] = here;
        }
    }
    // Fraction places left to right; '#' drops trailing zeros, '?' pads.
    {
        int index = 0;
        std::vector<size_t> places;
        for (size_t i = 0; i < s.tokens.size(); ++i)
            if (s.tokens[i].kind == Token::Digit && s.tokens[i].afterPoint &&
                !s.tokens[i].text.startsWith(u'e'))
                places.push_back(i);
        int keep = int(fraction.size());
        while (keep > 0 && fraction[keep - 1] == u'0' && s.tokens[places[size_t(keep - 1)]].text != QLatin1String("0"))
            --keep;
        for (size_t i : places) {
            const QString& kind = s.tokens[i].text;
            if (index < keep)
                slotText[i] = fraction.mid(index, 1);
            else
                slotText[i] = kind == QLatin1String("?") ? QStringLiteral(" ") : QString();
            ++index;
        }
    }
    // Exponent digits.
    {
        const QString digits = QString::number(std::abs(power));
        qsizetype digit = digits.size();
        int slot = exponentSlots;
        for (size_t i = s.tokens.size(); i-- > 0;) {
            const Token& t = s.tokens[i];
            if (t.kind != Token::Digit || !t.text.startsWith(u'e'))
                continue;
            --slot;
            if (slot == 0) {
                slotText[i] = digits.left(std::max<qsizetype>(digit, 0));
                if (slotText[i].isEmpty() && t.text == QLatin1String("e0"))
                    slotText[i] = QStringLiteral("0");
                digit = 0;
            } else {
                slotText[i] = digit > 0 ? digits.mid(--digit, 1)
                              : t.text == QLatin1String("e0") ? QStringLiteral("0")
                                                              : QString();
            }
        }
    }
    QString text;
    if (negativeSign && value < 0 && v != 0)
        text += u'-';
    QString integerPart;
    bool inInteger = false;
    const auto flushInteger = [&] {
        if (!inInteger)
            return;
        if (s.thousands) {
            // Group the integer digits by three.
            QString grouped;
            int count = 0;
            for (qsizetype i = integerPart.size(); i-- > 0;) {
                if (integerPart[i].isDigit()) {
                    if (count > 0 && count % 3 == 0)
                        grouped.prepend(u',');
                    ++count;
                }
                grouped.prepend(integerPart[i]);
            }
            integerPart = grouped;
        }
        text += integerPart;
        integerPart.clear();
        inInteger = false;
    };
    for (size_t i = 0; i < s.tokens.size(); ++i) {
        const Token& t = s.tokens[i];
        if (t.kind == Token::Digit && !t.afterPoint && !t.text.startsWith(u'e')) {
            inInteger = true;
            integerPart += slotText[i];
            continue;
        }
        if (!(t.kind == Token::Literal && inInteger && !s.thousands))
            flushInteger();
        switch (t.kind) {
            case Token::Literal:
                (inInteger ? integerPart : text) += t.text;
                break;
            case Token::Digit:
                text += slotText[i];
                break;
            case Token::Point:
                text += u'.';
                break;
            case Token::Exponent:
                text += u'E';
                text += power < 0 ? QStringLiteral("-") : exponentSign == u'+' ? QStringLiteral("+") : QString();
                break;
            case Token::Percent:
                text += u'%';
                break;
            default:
                break;
        }
    }
    flushInteger();
    out.text = text;
    return out;
}

}  // namespace

QString generalText(double value) {
    if (value == 0)
        return QStringLiteral("0");
    const double a = std::fabs(value);
    char buffer[64];
    if (a >= 1e11 || a < 1e-9) {
        std::snprintf(buffer, sizeof buffer, "%.5E", value);
        QString s = QString::fromLatin1(buffer);
        const qsizetype e = s.indexOf(u'E');
        QString mantissa = s.left(e);
        while (mantissa.endsWith(u'0')) mantissa.chop(1);
        if (mantissa.endsWith(u'.'))
            mantissa.chop(1);
        const int exponent = s.mid(e + 1).toInt();
        return mantissa + QStringLiteral("E%1%2")
                              .arg(exponent < 0 ? u'-' : u'+')
                              .arg(std::abs(exponent), 2, 10, QLatin1Char('0'));
    }
    // Eleven characters: the integer digits, a point and the decimals.
    const int integerDigits = a < 1 ? 1 : int(std::floor(std::log10(a))) + 1;
    const int decimals = std::max(0, 10 - integerDigits);
    const double rounded = roundDigits(value, decimals, Rounding::HalfAwayFromZero);
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, rounded);
    QString s = QString::fromLatin1(buffer);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0')) s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

Formatted formatNumber(double value, const QString& code, bool date1904) {
    const QStringList parts = sections(code);
    int index = 0;
    bool sign = true;
    if (parts.size() >= 2 && value < 0) {
        index = 1;
        sign = false;
    } else if (parts.size() >= 3 && value == 0) {
        index = 2;
    }
    const Section s = parse(parts[index]);
    if (!s.ok)
        return Formatted{false, false, {}};
    if (s.general) {
        Formatted out;
        for (const Token& t : s.tokens)
            if (t.kind != Token::Literal)
                return Formatted{false, false, {}};
        out.text = generalText(sign ? value : std::fabs(value));
        for (const Token& t : s.tokens) out.text += t.text;
        return out;
    }
    if (s.isDate)
        return formatDate(sign ? value : std::fabs(value), s, date1904);
    return formatDigits(value, s, sign);
}

QString formatText(const QString& text, const QString& code) {
    const QStringList parts = sections(code);
    QString section;
    if (parts.size() >= 4)
        section = parts[3];
    else if (parts.size() == 1 && parts[0].contains(u'@'))
        section = parts[0];
    else
        return text;
    const Section s = parse(section);
    QString out;
    for (const Token& t : s.tokens) out += t.kind == Token::Text ? text : t.text;
    return out;
}

}  // namespace velmora::formula
