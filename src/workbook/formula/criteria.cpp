#include "workbook/formula/criteria.h"

namespace velmora::formula {

namespace {

bool hasWildcard(QStringView s) {
    for (QChar c : s)
        if (c == u'*' || c == u'?')
            return true;
    return false;
}

QChar fold(QChar c) {
    return c.toCaseFolded();
}

// Matches pattern against text from their starts; with whole set the text
// must end where the pattern does. Returns the length of text matched, or
// -1. Greedy with one saved star position: linear in practice.
qsizetype matchAt(QStringView p, QStringView t, bool whole) {
    qsizetype i = 0, j = 0, star = -1, starText = 0;
    qsizetype best = -1;
    while (true) {
        if (i == p.size()) {
            if (!whole || j == t.size())
                return j;
            best = -1;
        } else if (p[i] == u'*') {
            star = ++i;
            starText = j;
            if (!whole && i == p.size())
                return j;
            continue;
        } else if (j < t.size()) {
            QChar pc = p[i];
            qsizetype step = 1;
            bool any = pc == u'?';
            if (pc == u'~' && i + 1 < p.size() && (p[i + 1] == u'*' || p[i + 1] == u'?')) {
                pc = p[i + 1];
                step = 2;
                any = false;
            }
            if (any || fold(pc) == fold(t[j])) {
                i += step;
                ++j;
                continue;
            }
        }
        if (star < 0 || starText >= t.size())
            return best;
        i = star;
        j = ++starText;
    }
}

}  // namespace

bool wildcardMatch(QStringView pattern, QStringView text) {
    return matchAt(pattern, text, true) >= 0;
}

qsizetype wildcardFind(QStringView pattern, QStringView text, qsizetype start) {
    for (qsizetype s = start; s <= text.size(); ++s)
        if (matchAt(pattern, text.mid(s), false) >= 0)
            return s;
    return -1;
}

Criterion::Criterion(const Value& criterion, bool date1904, Text text) {
    if (criterion.isEmpty()) {
        operand_ = Value::ofNumber(0);  // an empty criterion cell counts as 0
        return;
    }
    if (!criterion.isText()) {
        operand_ = criterion;
        return;
    }
    QStringView s = criterion.text;
    bool comparison = false;
    static const struct {
        const char16_t* text;
        Op op;
    } prefixes[] = {{u"<=", Op::Le}, {u">=", Op::Ge}, {u"<>", Op::Ne},
                    {u"<", Op::Lt},  {u">", Op::Gt},  {u"=", Op::Eq}};
    for (const auto& p : prefixes) {
        const QStringView prefix(p.text);
        if (s.startsWith(prefix)) {
            op_ = p.op;
            s = s.mid(prefix.size());
            comparison = true;
            break;
        }
    }
    static const struct {
        const char16_t* text;
        quint8 code;
    } errors[] = {{u"#NULL!", err::kNull}, {u"#DIV/0!", err::kDiv0}, {u"#VALUE!", err::kValue},
                  {u"#REF!", err::kRef},   {u"#NAME?", err::kName},  {u"#NUM!", err::kNum},
                  {u"#N/A", err::kNA}};
    for (const auto& e : errors)
        if (s.compare(QStringView(e.text), Qt::CaseInsensitive) == 0) {
            operand_ = Value::ofError(e.code);
            return;
        }
    double n = 0;
    if (textToNumber(s, n, date1904)) {
        operand_ = Value::ofNumber(n);
    } else if (text == Text::Whole && s.compare(u"TRUE", Qt::CaseInsensitive) == 0) {
        operand_ = Value::ofBoolean(true);
    } else if (text == Text::Whole && s.compare(u"FALSE", Qt::CaseInsensitive) == 0) {
        operand_ = Value::ofBoolean(false);
    } else if (text == Text::Prefix && !comparison && !s.isEmpty()) {
        operand_ = Value::ofText(s.toString() + u'*');
        wildcard_ = true;
    } else {
        operand_ = Value::ofText(s.toString());
        wildcard_ = (op_ == Op::Eq || op_ == Op::Ne) && hasWildcard(s);
    }
}

bool Criterion::matches(const Value& v) const {
    // "" and "=" match empty cells, "<>" everything that is not empty.
    if (operand_.isText() && operand_.text.isEmpty()) {
        const bool blank = v.isEmpty() || (v.isText() && v.text.isEmpty());
        return op_ == Op::Ne ? !blank : op_ == Op::Eq && blank;
    }
    bool equal = false;
    int order = 0;
    bool comparable = false;
    if (operand_.isNumber()) {
        double n = 0;
        if (v.isNumber()) {
            n = v.number;
            comparable = true;
        } else if (v.isText() && op_ == Op::Eq && textToNumber(v.text, n)) {
            comparable = true;  // "5" typed as text counts for = 5
        }
        if (comparable) {
            equal = nearlyEqual(n, operand_.number);
            order = equal ? 0 : (n < operand_.number ? -1 : 1);
        }
    } else if (operand_.isText()) {
        if (v.isText()) {
            comparable = true;
            if (wildcard_) {
                equal = wildcardMatch(operand_.text, v.text);
            } else {
                const int c = v.text.compare(operand_.text, Qt::CaseInsensitive);
                equal = c == 0;
                order = c < 0 ? -1 : c > 0 ? 1 : 0;
            }
        }
    } else if (operand_.kind == v.kind) {
        comparable = true;  // booleans and errors
        equal = operand_.code == v.code;
        order = int(v.code) - int(operand_.code);
    }
    switch (op_) {
        case Op::Eq: return comparable && equal;
        case Op::Ne: return !comparable || !equal;
        case Op::Lt: return comparable && !equal && order < 0;
        case Op::Le: return comparable && (equal || order < 0);
        case Op::Gt: return comparable && !equal && order > 0;
        case Op::Ge: return comparable && (equal || order > 0);
    }
    return false;
}

}  // namespace velmora::formula
