#include "workbook/formula/numberformat.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace velmora::formula {

namespace {

using Token = NumberFormat::Token;
using Section = NumberFormat::Section;

// The code's sections, split at ';' outside quotes, brackets and escapes.
QStringList splitSections(const QString& code) {
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u';') {
            parts << current;
            current.clear();
            continue;
        }
        current += c;
        const QChar close = c == u'"' ? u'"' : c == u'[' ? u']' : QChar();
        if (!close.isNull()) {
            const qsizetype end = code.indexOf(close, i + 1);
            const qsizetype stop = end < 0 ? code.size() - 1 : end;
            current += code.mid(i + 1, stop - i);
            i = stop;
        } else if ((c == u'\\' || c == u'_' || c == u'*') && i + 1 < code.size()) {
            current += code[++i];
        }
    }
    parts << current;
    return parts;
}

qsizetype runLength(const QString& s, qsizetype i, QChar c) {
    qsizetype n = 0;
    while (i + n < s.size() && s[i + n].toLower() == c) ++n;
    return n;
}

// A colour's number in the palette: [Black] to [Cyan] are its first eight
// entries, [Color n] any of its 56; 0 for anything else.
int namedColour(const QString& name) {
    static const char* const names[] = {"black", "white", "red",     "green",
                                        "blue",  "yellow", "magenta", "cyan"};
    const QString l = name.toLower();
    for (int i = 0; i < 8; ++i)
        if (l == QLatin1String(names[i]))
            return i + 1;
    if (l.startsWith(QLatin1String("color"))) {
        const int n = l.mid(5).toInt();
        if (n >= 1 && n <= 56)
            return n;
    }
    return 0;
}

void addLiteral(Section& s, const QString& text) {
    if (!s.tokens.empty() && s.tokens.back().kind == Token::Literal)
        s.tokens.back().text += text;
    else
        s.tokens.push_back({Token::Literal, text, 0});
}

// What a [...] part means: a colour, a condition, elapsed time, a currency
// symbol with its locale; anything else (locales, [DBNum1]) shows nothing.
void readBracket(Section& s, const QString& inner) {
    const QString l = inner.toLower();
    if (const int colour = namedColour(inner)) {
        s.colour = colour;
    } else if (!l.isEmpty() && (l[0] == u'<' || l[0] == u'>' || l[0] == u'=')) {
        const QString two = l.left(2);
        const bool pair = two == u"<=" || two == u">=" || two == u"<>";
        s.op = two == u"<=" ? 'l' : two == u">=" ? 'g' : two == u"<>" ? 'n' : char(l[0].unicode());
        s.operand = l.mid(pair ? 2 : 1).toDouble();
        s.hasCondition = true;
    } else if (!l.isEmpty() && l.count(l[0]) == l.size() && QStringLiteral("hms").contains(l[0])) {
        s.tokens.push_back({l[0] == u'h'   ? Token::ElapsedHours
                            : l[0] == u'm' ? Token::ElapsedMinutes
                                           : Token::ElapsedSeconds,
                            QString(), int(l.size())});
    } else if (l.startsWith(u'$')) {
        addLiteral(s, inner.mid(1).section(u'-', 0, 0));
    }
}

Token dateToken(QChar c, qsizetype n) {
    switch (c.unicode()) {
        case u'y':
        case u'e':
            return {n <= 2 && c == u'y' ? Token::Year2 : Token::Year4, {}, 0};
        case u'm':
            return {n == 1   ? Token::Month
                    : n == 2 ? Token::Month2
                    : n == 3 ? Token::MonthShort
                    : n == 4 ? Token::MonthLong
                             : Token::MonthLetter,
                    {},
                    0};
        case u'd':
            return {n == 1   ? Token::Day
                    : n == 2 ? Token::Day2
                    : n == 3 ? Token::DayShort
                             : Token::DayLong,
                    {},
                    0};
        case u'h':
            return {n == 1 ? Token::Hour : Token::Hour2, {}, 0};
        case u's':
            return {n == 1 ? Token::Second : Token::Second2, {}, 0};
        default:  // 'a': aaa, aaaa
            return {n >= 4 ? Token::WeekLong : Token::WeekShort, {}, 0};
    }
}

bool isTimeOrDate(Token::Kind k) {
    return k >= Token::Year2;
}

// An m right after hours or right before seconds means minutes.
void resolveMinutes(Section& s) {
    for (size_t i = 0; i < s.tokens.size(); ++i) {
        Token& t = s.tokens[i];
        if (t.kind != Token::Month && t.kind != Token::Month2)
            continue;
        bool minute = false;
        for (size_t j = i; j-- > 0;) {
            if (!isTimeOrDate(s.tokens[j].kind))
                continue;
            const Token::Kind k = s.tokens[j].kind;
            minute = k == Token::Hour || k == Token::Hour2 || k == Token::ElapsedHours;
            break;
        }
        for (size_t j = i + 1; !minute && j < s.tokens.size(); ++j) {
            if (!isTimeOrDate(s.tokens[j].kind))
                continue;
            const Token::Kind k = s.tokens[j].kind;
            minute = k == Token::Second || k == Token::Second2 || k == Token::ElapsedSeconds;
            break;
        }
        if (minute)
            t.kind = t.kind == Token::Month ? Token::Minute : Token::Minute2;
    }
}

// complete becomes false where a quote or bracket is left open.
Section parseSection(const QString& code, bool& complete) {
    Section s;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        const QChar l = c.toLower();
        const QStringView rest = QStringView(code).mid(i);
        if (c == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            complete = complete && end >= 0;
            addLiteral(s, code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1));
            i = end < 0 ? code.size() : end;
        } else if (c == u'\\' && i + 1 < code.size()) {
            addLiteral(s, code[++i]);
        } else if (c == u'_' && i + 1 < code.size()) {
            addLiteral(s, QStringLiteral(" "));
            ++i;
        } else if (c == u'*') {
            ++i;  // a fill character: the cell is not padded
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i + 1);
            complete = complete && end >= 0;
            readBracket(s, code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1));
            i = end < 0 ? code.size() : end;
        } else if (rest.startsWith(u"general", Qt::CaseInsensitive)) {
            s.tokens.push_back({Token::General, {}, 0});
            i += 6;
        } else if (rest.startsWith(u"am/pm", Qt::CaseInsensitive) ||
                   rest.startsWith(u"a/p", Qt::CaseInsensitive)) {
            const bool full = rest.startsWith(u"am/pm", Qt::CaseInsensitive);
            s.tokens.push_back({Token::AmPm, full ? QStringLiteral("AM") : QStringLiteral("A"), 0});
            i += full ? 4 : 2;
        } else if (rest.startsWith(u"上午/下午")) {
            s.tokens.push_back({Token::ChineseAmPm, {}, 0});
            i += 4;
        } else if (c == u'0' || c == u'#' || c == u'?') {
            s.tokens.push_back({Token::Digit, c, 0});
        } else if (c == u'.') {
            const qsizetype zeros = runLength(code, i + 1, u'0');
            const bool time = std::any_of(s.tokens.begin(), s.tokens.end(), [](const Token& t) {
                return t.kind == Token::Second || t.kind == Token::Second2 ||
                       t.kind == Token::ElapsedSeconds;
            });
            if (time && zeros > 0) {
                s.tokens.push_back({Token::SubSecond, {}, int(std::min<qsizetype>(zeros, 3))});
                i += zeros;
            } else {
                s.tokens.push_back({Token::Point, {}, 0});
            }
        } else if (c == u',') {
            s.tokens.push_back({Token::Thousands, {}, 0});
        } else if (c == u'%') {
            s.tokens.push_back({Token::Percent, {}, 0});
        } else if (c == u'@') {
            s.tokens.push_back({Token::TextValue, {}, 0});
            s.isText = true;
        } else if (l == u'e' && i + 1 < code.size() &&
                   (code[i + 1] == u'+' || code[i + 1] == u'-')) {
            const qsizetype digits = runLength(code, i + 2, u'0') + runLength(code, i + 2, u'#');
            s.tokens.push_back(
                {Token::Exponent, code.mid(i, 2).toUpper(), int(std::max<qsizetype>(digits, 1))});
            i += 1 + digits;
        } else if (l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's' || l == u'e' ||
                   (l == u'a' && runLength(code, i, u'a') >= 3)) {
            const qsizetype n = runLength(code, i, l);
            s.tokens.push_back(dateToken(l, n));
            i += n - 1;
        } else {
            addLiteral(s, c);
        }
    }
    resolveMinutes(s);
    s.isDate = std::any_of(s.tokens.begin(), s.tokens.end(),
                           [](const Token& t) { return isTimeOrDate(t.kind); });
    return s;
}

}  // namespace

bool NumberFormat::Section::condition(double v) const {
    switch (op) {
        case '<':
            return v < operand;
        case '>':
            return v > operand;
        case '=':
            return v == operand;
        case 'l':
            return v <= operand;
        case 'g':
            return v >= operand;
        case 'n':
            return v != operand;
        default:
            return true;
    }
}

NumberFormat::NumberFormat(const QString& code) {
    for (const QString& part : splitSections(code)) sections_.push_back(parseSection(part, complete_));
    general_ = sections_.size() == 1 && sections_[0].tokens.size() == 1 &&
               sections_[0].tokens[0].kind == Token::General;
}

// Sections without a condition mean: positive (and zero); negative; zero.
// A section chosen by a condition, or the only one, shows a minus sign itself.
const Section* NumberFormat::sectionFor(double value, bool* negativeSign) const {
    std::vector<const Section*> numeric;
    for (size_t i = 0; i < sections_.size() && i < 3; ++i) numeric.push_back(&sections_[i]);
    *negativeSign = value < 0;
    if (std::any_of(numeric.begin(), numeric.end(),
                    [](const Section* s) { return s->hasCondition; })) {
        for (const Section* s : numeric)
            if (s->hasCondition && s->condition(value))
                return s;
        for (const Section* s : numeric)
            if (!s->hasCondition) {
                *negativeSign = value < 0 && s == numeric.front();
                return s;
            }
        return nullptr;
    }
    if (numeric.size() >= 3 && value == 0)
        return numeric[2];
    if (numeric.size() >= 2 && value < 0) {
        *negativeSign = false;
        return numeric[1];
    }
    return numeric.front();
}

bool NumberFormat::hasNamedParts() const {
    return std::any_of(sections_.begin(), sections_.end(), [](const Section& s) {
        return std::any_of(s.tokens.begin(), s.tokens.end(), [](const Token& t) {
            return t.kind == Token::MonthShort || t.kind == Token::MonthLong ||
                   t.kind == Token::MonthLetter || t.kind == Token::DayShort ||
                   t.kind == Token::DayLong || t.kind == Token::AmPm;
        });
    });
}

Shown NumberFormat::number(double value, bool date1904) const {
    bool sign = false;
    const Section* s = sectionFor(value, &sign);
    if (!s || s->isText || general_)
        return {generalText(value), s ? s->colour : 0};
    if (s->isDate) {
        const std::optional<QString> date = renderDate(*s, value, date1904);
        return {date.value_or(QStringLiteral("########")), s->colour, !date};
    }
    const QString body = renderNumber(*s, std::fabs(value));
    // No minus sign in front of a result that shows no digit other than 0.
    const bool zero =
        std::all_of(body.begin(), body.end(), [](QChar c) { return !c.isDigit() || c == u'0'; });
    return {(sign && !zero ? QStringLiteral("-") : QString()) + body, s->colour};
}

Shown NumberFormat::text(const QString& text) const {
    const Section* s = sections_.size() >= 4 ? &sections_[3]
                       : sections_[0].isText ? &sections_[0]
                                             : nullptr;
    if (!s)
        return {text};
    QString out;
    for (const Token& t : s->tokens) {
        if (t.kind == Token::TextValue)
            out += text;
        else if (t.kind == Token::Literal)
            out += t.text;
    }
    return {out, s->colour};
}

}  // namespace velmora::formula
