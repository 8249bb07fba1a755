#include "workbook/cellvalue.h"
#include "workbook/formula/numberformat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velmora::formula {

namespace {

using Token = NumberFormat::Token;

QString group(const QString& digits) {
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    return out;
}

// Where the parts of a number pattern are: its digit placeholders before and
// after the point (and before an exponent), grouping and scaling.
struct Pattern {
    std::vector<size_t> integer, fraction;
    size_t exponent = SIZE_MAX;
    bool grouping = false;
    int scale = 0;  // thousands separators after the last integer digit
    int percent = 0;
};

Pattern readPattern(const NumberFormat::Section& s) {
    Pattern p;
    size_t point = SIZE_MAX;
    for (size_t i = 0; i < s.tokens.size(); ++i) {
        const Token& t = s.tokens[i];
        if (t.kind == Token::Point && point == SIZE_MAX && p.exponent == SIZE_MAX)
            point = i;
        else if (t.kind == Token::Exponent && p.exponent == SIZE_MAX)
            p.exponent = i;
        else if (t.kind == Token::Percent)
            ++p.percent;
        else if (t.kind == Token::Digit && p.exponent == SIZE_MAX)
            (point == SIZE_MAX ? p.integer : p.fraction).push_back(i);
    }
    // A separator between integer digits groups them; one after the last
    // digit divides by a thousand.
    const size_t end = std::min(p.exponent, s.tokens.size());
    const size_t lastDigit =
        p.fraction.empty() ? (p.integer.empty() ? 0 : p.integer.back()) : p.fraction.back();
    for (size_t i = 0; i < end && !p.integer.empty(); ++i) {
        if (s.tokens[i].kind != Token::Thousands)
            continue;
        if (i > p.integer.front() && i < p.integer.back())
            p.grouping = true;
        else if (i > lastDigit)
            ++p.scale;
    }
    return p;
}

// The digits integer placeholder k of n shows: the first one takes every
// digit beyond the others; a placeholder without a digit shows '0', a blank
// ('?') or nothing ('#').
QString integerDigits(const QString& integer, qsizetype k, qsizetype n,
                      const QString& placeholder) {
    const qsizetype at = integer.size() - n + k;
    QString digits;
    if (at >= 0)
        digits = k == 0 ? integer.left(at + 1) : QString(integer[at]);
    if (digits.isEmpty() && placeholder != u"#")
        digits = placeholder == u"0" ? QStringLiteral("0") : QStringLiteral(" ");
    return digits;
}

}  // namespace

Digits roundedDigits(double magnitude, int decimals) {
    Digits d;
    d.fraction = QString(decimals, u'0');
    if (!(magnitude > 0) || !std::isfinite(magnitude))
        return d;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    QString significant = QString::fromLatin1(buf, 1) + QString::fromLatin1(buf + 2, 14);
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    // significant holds the value times 10^(14 - exponent); keep the digits
    // down to the last decimal asked for.
    const int keep = exponent + 1 + decimals;
    if (keep < 0)
        return d;
    QString kept = significant.left(std::min(keep, 15)).leftJustified(keep, u'0');
    const bool up = keep < 15 && significant[keep] >= u'5';
    if (up) {
        int i = int(kept.size()) - 1;
        for (; i >= 0 && kept[i] == u'9'; --i) kept[i] = u'0';
        if (i < 0)
            kept.prepend(u'1');
        else
            kept[i] = QChar(kept[i].unicode() + 1);
    }
    kept = kept.rightJustified(decimals + 1, u'0');
    d.fraction = kept.right(decimals);
    d.integer = kept.left(kept.size() - decimals);
    while (d.integer.startsWith(u'0')) d.integer.remove(0, 1);
    return d;
}

QString generalText(double value) {
    const double m = std::fabs(value);
    if (m == 0 || !std::isfinite(value))
        return numberText(value);
    if (m >= 1e11 || m < 1e-9) {
        // Six significant digits: "1.23457E+11", "-1E-10".
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.5E", m);
        QString mantissa = QString::fromLatin1(buf, 7);
        while (mantissa.endsWith(u'0')) mantissa.chop(1);
        if (mantissa.endsWith(u'.'))
            mantissa.chop(1);
        const int exponent = std::atoi(std::strchr(buf, 'E') + 1);
        return (value < 0 ? QStringLiteral("-") : QString()) + mantissa +
               (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
               QString::number(std::abs(exponent)).rightJustified(2, u'0');
    }
    const int integerDigits = m < 1 ? 1 : int(std::floor(std::log10(m))) + 1;
    Digits d = roundedDigits(m, std::max(0, 10 - integerDigits));
    while (d.fraction.endsWith(u'0')) d.fraction.chop(1);
    QString out = d.integer.isEmpty() ? QStringLiteral("0") : d.integer;
    if (!d.fraction.isEmpty())
        out += u'.' + d.fraction;
    return (value < 0 ? QStringLiteral("-") : QString()) + out;
}

QString renderNumber(const NumberFormat::Section& s, double magnitude) {
    const Pattern p = readPattern(s);
    double m = magnitude * std::pow(100.0, p.percent) / std::pow(1000.0, p.scale);
    int exponent = 0;
    if (p.exponent != SIZE_MAX && m > 0) {
        const int before = std::max<int>(1, int(p.integer.size()));
        exponent = int(std::floor(std::log10(m))) - (before - 1);
        m /= std::pow(10.0, exponent);
        if (roundedDigits(m, int(p.fraction.size())).integer.size() > before) {
            ++exponent;  // 9.99 rounded up to 10.0
            m /= 10;
        }
    }
    const Digits d = roundedDigits(m, int(p.fraction.size()));
    // Fraction digits: trailing zeros under '#' vanish, under '?' become blanks.
    const QString& fraction = d.fraction;
    std::vector<QString> shownFraction(size_t(fraction.size()));
    bool trailing = true;
    for (qsizetype i = fraction.size() - 1; i >= 0; --i) {
        const QString placeholder = s.tokens[p.fraction[size_t(i)]].text;
        if (trailing && fraction[i] == u'0' && placeholder != u"0")
            shownFraction[size_t(i)] = placeholder == u"?" ? QStringLiteral(" ") : QString();
        else {
            shownFraction[size_t(i)] = fraction[i];
            trailing = false;
        }
    }
    QString out;
    const qsizetype n = qsizetype(p.integer.size());
    for (size_t i = 0; i < s.tokens.size(); ++i) {
        const Token& t = s.tokens[i];
        switch (t.kind) {
            case Token::Literal:
                out += t.text;
                break;
            case Token::General:
                out += generalText(m);
                break;
            case Token::Percent:
                out += u'%';
                break;
            case Token::Point:
                if (p.integer.empty())
                    out += d.integer;  // ".00" still shows 12.50
                if (i < p.exponent)
                    out += u'.';
                break;
            case Token::Exponent: {
                const QString sign = exponent < 0      ? QStringLiteral("-")
                                     : t.text == u"E+" ? QStringLiteral("+")
                                                       : QString();
                out +=
                    u'E' + sign + QString::number(std::abs(exponent)).rightJustified(t.count, u'0');
                break;
            }
            case Token::Digit: {
                const auto whole = std::find(p.integer.begin(), p.integer.end(), i);
                const auto part = std::find(p.fraction.begin(), p.fraction.end(), i);
                if (whole == p.integer.begin() && p.grouping) {
                    qsizetype zeros = 0;
                    for (size_t z : p.integer) zeros += s.tokens[z].text == u"0";
                    out += group(d.integer.rightJustified(zeros, u'0'));
                } else if (whole != p.integer.end() && !p.grouping) {
                    out += integerDigits(d.integer, whole - p.integer.begin(), n, t.text);
                } else if (part != p.fraction.end()) {
                    out += shownFraction[size_t(part - p.fraction.begin())];
                }
                break;
            }
            default:
                break;
        }
    }
    return out;
}

}  // namespace velmora::formula
