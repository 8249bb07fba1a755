// Text functions: lengths and parts, joining, case, searching and replacing,
// TEXT and VALUE. Byte counts (LENB ...) count a character beyond ASCII as
// two bytes, as a Chinese spreadsheet program does.
#include "workbook/formula/aggregate.h"
#include "workbook/formula/criteria.h"
#include "workbook/formula/library.h"
#include "workbook/formula/numberformat.h"
#include "workbook/formula/rounding.h"

#include <cmath>

namespace velmora::formula {

namespace {

constexpr qsizetype kMaxText = 32767;

Operand text(const QString& s) {
    if (s.size() > kMaxText)
        throw ErrorResult{err::kValue};
    return Value::ofText(s);
}

qsizetype count(const Call& c, int i, double fallback) {
    const double n = std::trunc(c.number(i, fallback));
    if (n < 0)
        throw ErrorResult{err::kValue};
    return qsizetype(std::min(n, 1e9));
}

Operand len(Call& c) {
    return Value::ofNumber(double(c.text(0).size()));
}

Operand left(Call& c) {
    return text(c.text(0).left(count(c, 1, 1)));
}

Operand right(Call& c) {
    return text(c.text(0).right(count(c, 1, 1)));
}

Operand mid(Call& c) {
    const QString s = c.text(0);
    const double start = std::trunc(c.number(1));
    if (start < 1)
        throw ErrorResult{err::kValue};
    const qsizetype n = count(c, 2, 0);
    return start > double(s.size()) ? text(QString()) : text(s.mid(qsizetype(start) - 1, n));
}

// Bytes of a character: two beyond ASCII.
int bytes(QChar ch) {
    return ch.unicode() < 0x80 ? 1 : 2;
}
qsizetype byteLength(const QString& s) {
    qsizetype n = 0;
    for (QChar ch : s) n += bytes(ch);
    return n;
}
// Characters from byte position (0-based) for n bytes; a character cut in
// half is left out.
QString byteMid(const QString& s, qsizetype start, qsizetype n) {
    QString out;
    qsizetype at = 0;
    for (QChar ch : s) {
        const int b = bytes(ch);
        if (at >= start && at + b <= start + n)
            out += ch;
        at += b;
    }
    return out;
}

Operand lenB(Call& c) {
    return Value::ofNumber(double(byteLength(c.text(0))));
}
Operand leftB(Call& c) {
    return text(byteMid(c.text(0), 0, count(c, 1, 1)));
}
Operand rightB(Call& c) {
    const QString s = c.text(0);
    const qsizetype n = count(c, 1, 1), total = byteLength(s);
    return text(byteMid(s, std::max<qsizetype>(0, total - n), n));
}
Operand midB(Call& c) {
    const double start = std::trunc(c.number(1));
    if (start < 1)
        throw ErrorResult{err::kValue};
    return text(byteMid(c.text(0), qsizetype(std::min(start, 1e9)) - 1, count(c, 2, 0)));
}

Operand concatenate(Call& c) {
    QString out;
    for (int i = 0; i < c.count(); ++i) {
        out += c.text(i);
        if (out.size() > kMaxText)
            throw ErrorResult{err::kValue};
    }
    return text(out);
}

// CONCAT and TEXTJOIN take every cell of their ranges.
void join(Call& c, int from, const QString& separator, bool skipEmpty, QString& out) {
    bool first = true;
    for (int i = from; i < c.count(); ++i) {
        const auto add = [&](const Value& v) {
            const Value t = toText(v);
            if (t.isError())
                throw ErrorResult{t.code};
            if (skipEmpty && t.text.isEmpty())
                return;
            if (!first)
                out += separator;
            out += t.text;
            first = false;
            if (out.size() > kMaxText)
                throw ErrorResult{err::kValue};
        };
        if (c.arg(i).isReference() || c.arg(i).isArray()) {
            const RangeView r = c.range(i);
            for (int row = 0; row < r.rows(); ++row)
                for (int col = 0; col < r.columns(); ++col) {
                    const Value& v = r.at(row, col);
                    if (!v.isEmpty() || !skipEmpty)
                        add(v);
                }
        } else if (!c.arg(i).missing) {
            add(c.arg(i).value);
        }
    }
}

Operand concat(Call& c) {
    QString out;
    join(c, 0, QString(), true, out);
    return text(out);
}

Operand textJoin(Call& c) {
    QString out;
    join(c, 2, c.text(0), c.boolean(1), out);
    return text(out);
}

Operand textFn(Call& c) {
    const Value v = c.scalar(0);
    const QString code = c.text(1);
    if (v.isError())
        return v;
    const NumberFormat format(code);
    double n = 0;
    if (v.isText() && !textToNumber(v.text, n, c.ctx.date1904))
        return text(format.text(v.text).text);
    if (v.isBoolean())
        return text(v.code ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    if (v.isNumber())
        n = v.number;
    // A code left open, or one with month or weekday names or AM/PM (their
    // words follow the language of the program that calculates), keeps the
    // file's cached result.
    if (!format.complete() || format.hasNamedParts())
        throw Unsupported{};
    const Shown shown = format.number(n, c.ctx.date1904);
    if (shown.outOfRange)
        throw ErrorResult{err::kValue};
    return text(shown.text);
}

Operand value(Call& c) {
    const Value v = c.scalar(0);
    if (v.isError() || v.isNumber())
        return v;
    if (v.isEmpty())
        return Value::ofNumber(0);
    double n = 0;
    if (v.isText() && textToNumber(v.text, n, c.ctx.date1904))
        return Value::ofNumber(n);
    throw ErrorResult{err::kValue};
}

Operand trim(Call& c) {
    const QString s = c.text(0);
    QString out;
    bool space = false;
    for (QChar ch : s) {
        if (ch == u' ') {
            space = !out.isEmpty();
            continue;
        }
        if (space)
            out += u' ';
        space = false;
        out += ch;
    }
    return text(out);
}

Operand upper(Call& c) {
    return text(c.text(0).toUpper());
}
Operand lower(Call& c) {
    return text(c.text(0).toLower());
}

Operand proper(Call& c) {
    QString s = c.text(0).toLower();
    bool start = true;
    for (QChar& ch : s) {
        if (ch.isLetter()) {
            if (start)
                ch = ch.toUpper();
            start = false;
        } else {
            start = true;
        }
    }
    return text(s);
}

Operand rept(Call& c) {
    const QString s = c.text(0);
    const double n = std::trunc(c.number(1));
    if (n < 0 || double(s.size()) * n > kMaxText)
        throw ErrorResult{err::kValue};
    return text(s.repeated(qsizetype(n)));
}

Operand substitute(Call& c) {
    QString s = c.text(0);
    const QString from = c.text(1), to = c.text(2);
    if (from.isEmpty())
        return text(s);
    if (!c.given(3))
        return text(s.replace(from, to));
    const double which = std::trunc(c.number(3));
    if (which < 1)
        throw ErrorResult{err::kValue};
    qsizetype at = -1;
    for (double k = 0; k < which; ++k) {
        at = s.indexOf(from, at + 1);
        if (at < 0)
            return text(s);
    }
    return text(s.replace(at, from.size(), to));
}

Operand replace(Call& c) {
    const QString s = c.text(0);
    const double start = std::trunc(c.number(1));
    if (start < 1)
        throw ErrorResult{err::kValue};
    const qsizetype n = count(c, 2, 0);
    const qsizetype at = qsizetype(std::min(start - 1, double(s.size())));
    return text(s.left(at) + c.text(3) + s.mid(std::min(at + n, s.size())));
}

// FIND is exact and case-sensitive; SEARCH ignores case and takes wildcards.
template <bool Search>
Operand find(Call& c) {
    const QString what = c.text(0), in = c.text(1);
    const double start = std::trunc(c.number(2, 1));
    if (start < 1 || start > double(in.size()) + 1)
        throw ErrorResult{err::kValue};
    const qsizetype from = qsizetype(start) - 1;
    const qsizetype at =
        Search ? wildcardFind(what, in, from) : in.indexOf(what, from, Qt::CaseSensitive);
    if (at < 0)
        throw ErrorResult{err::kValue};
    return Value::ofNumber(double(at + 1));
}

// The byte forms count positions in bytes.
template <bool Search>
Operand findB(Call& c) {
    const QString what = c.text(0), in = c.text(1);
    const double start = std::trunc(c.number(2, 1));
    if (start < 1 || start > double(byteLength(in)) + 1)
        throw ErrorResult{err::kValue};
    qsizetype from = 0, bytesBefore = 0;
    while (from < in.size() && bytesBefore + 1 < qsizetype(start)) bytesBefore += bytes(in[from++]);
    const qsizetype at =
        Search ? wildcardFind(what, in, from) : in.indexOf(what, from, Qt::CaseSensitive);
    if (at < 0)
        throw ErrorResult{err::kValue};
    return Value::ofNumber(double(byteLength(in.left(at)) + 1));
}

Operand replaceB(Call& c) {
    const QString s = c.text(0);
    const double start = std::trunc(c.number(1));
    if (start < 1)
        throw ErrorResult{err::kValue};
    const qsizetype n = count(c, 2, 0), total = byteLength(s);
    const qsizetype at = qsizetype(std::min(start - 1, double(total)));
    return text(byteMid(s, 0, at) + c.text(3) + byteMid(s, at + n, total));
}

Operand exact(Call& c) {
    return Value::ofBoolean(c.text(0) == c.text(1));
}

Operand charFn(Call& c) {
    const double n = std::trunc(c.number(0));
    if (n < 1 || n > 255)
        throw ErrorResult{err::kValue};
    if (n >= 128)
        throw Unsupported{};  // beyond ASCII the character depends on the system's code page
    return text(QString(QChar(int(n))));
}

Operand code(Call& c) {
    const QString s = c.text(0);
    if (s.isEmpty())
        throw ErrorResult{err::kValue};
    const char16_t ch = s[0].unicode();
    if (ch < 128)
        return Value::ofNumber(ch);
    throw Unsupported{};  // beyond ASCII the code depends on the system's code page
}

Operand clean(Call& c) {
    QString s = c.text(0);
    s.removeIf([](QChar ch) { return ch.unicode() < 32; });
    return text(s);
}

Operand fixed(Call& c) {
    const double x = c.number(0);
    const double d = std::trunc(c.number(1, 2));
    const bool noCommas = c.boolean(2, false);
    if (d > 127)
        throw ErrorResult{err::kValue};
    const int decimals = int(std::max(d, -127.0));
    const double r = roundDigits(x, decimals, Rounding::HalfAwayFromZero);
    QString code = noCommas ? QStringLiteral("0") : QStringLiteral("#,##0");
    if (decimals > 0)
        code += u'.' + QString(decimals, u'0');
    return text(NumberFormat(code).number(r).text);
}

}  // namespace

const std::vector<FunctionEntry>& textFunctions() {
    static const std::vector<FunctionEntry> table = {
        {"LEN", len},
        {"LEFT", left},
        {"RIGHT", right},
        {"MID", mid},
        {"LENB", lenB},
        {"LEFTB", leftB},
        {"RIGHTB", rightB},
        {"MIDB", midB},
        {"CONCATENATE", concatenate},
        {"CONCAT", concat},
        {"TEXTJOIN", textJoin},
        {"TEXT", textFn},
        {"VALUE", value},
        {"TRIM", trim},
        {"UPPER", upper},
        {"LOWER", lower},
        {"PROPER", proper},
        {"REPT", rept},
        {"SUBSTITUTE", substitute},
        {"REPLACE", replace},
        {"REPLACEB", replaceB},
        {"FIND", find<false>},
        {"SEARCH", find<true>},
        {"FINDB", findB<false>},
        {"SEARCHB", findB<true>},
        {"EXACT", exact},
        {"CHAR", charFn},
        {"CODE", code},
        {"CLEAN", clean},
        {"FIXED", fixed},
    };
    return table;
}

}  // namespace velmora::formula
