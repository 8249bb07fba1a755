#include "workbook/formula/value.h"

#include "workbook/cellvalue.h"
#include "workbook/formula/datetime.h"

#include <cmath>
#include <cstring>

namespace velmora::formula {

Value Value::ofNumber(double n) {
    Value v;
    v.kind = Kind::Number;
    v.number = n;
    if (!std::isfinite(n)) {
        v.kind = Kind::Error;
        v.code = err::kNum;
        v.number = 0;
    }
    return v;
}

Value Value::ofText(const QString& t) {
    Value v;
    v.kind = Kind::Text;
    v.text = t;
    return v;
}

Value Value::ofBoolean(bool b) {
    Value v;
    v.kind = Kind::Boolean;
    v.code = b ? 1 : 0;
    return v;
}

Value Value::ofError(quint8 code) {
    Value v;
    v.kind = Kind::Error;
    v.code = code;
    return v;
}

bool Value::same(const Value& o) const {
    if (kind != o.kind)
        return false;
    switch (kind) {
        case Kind::Empty:
            return true;
        case Kind::Number:
            return std::memcmp(&number, &o.number, sizeof number) == 0;
        case Kind::Text:
            return text == o.text;
        case Kind::Boolean:
        case Kind::Error:
            return code == o.code;
    }
    return false;
}

Operand Operand::reference(const Area& a) {
    Operand o;
    o.kind = Kind::Reference;
    o.areas.push_back(a);
    return o;
}

Operand Operand::matrix(Matrix m) {
    Operand o;
    o.kind = Kind::Array;
    o.array = std::make_shared<const Matrix>(std::move(m));
    return o;
}

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A plain decimal number with optional sign, thousands separators,
// fraction, exponent and trailing percent sign.
bool plainNumber(QStringView s, double& out) {
    bool percent = false;
    if (s.endsWith(u'%')) {
        percent = true;
        s.chop(1);
        s = s.trimmed();
    }
    QString digits;
    digits.reserve(s.size());
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        digits += s[i++];
    // Integer part: groups of three digits after the first may be separated.
    int group = 0, whole = 0, fraction = 0;
    bool separated = false;
    while (i < s.size()) {
        if (isDigit(s[i])) {
            digits += s[i++];
            ++group;
            ++whole;
        } else if (s[i] == u',' && group > 0 && (separated ? group == 3 : group <= 3)) {
            separated = true;
            group = 0;
            ++i;
        } else {
            break;
        }
    }
    if (separated && group != 3)
        return false;
    if (i < s.size() && s[i] == u'.') {
        digits += s[i++];
        while (i < s.size() && isDigit(s[i])) {
            digits += s[i++];
            ++fraction;
        }
    }
    if (whole + fraction == 0)
        return false;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        digits += u'e';
        ++i;
        if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
            digits += s[i++];
        const qsizetype start = i;
        while (i < s.size() && isDigit(s[i])) digits += s[i++];
        if (i == start)
            return false;
    }
    if (i != s.size())
        return false;
    bool ok = false;
    const double v = digits.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = percent ? v / 100 : v;
    return true;
}

}  // namespace

bool textToNumber(QStringView text, double& out, bool date1904) {
    const QStringView s = text.trimmed();
    if (s.isEmpty())
        return false;
    if (plainNumber(s, out))
        return true;
    return parseDateTime(s, date1904, out);
}

Value toNumber(const Value& v, bool date1904) {
    switch (v.kind) {
        case Value::Kind::Number:
            return v;
        case Value::Kind::Empty:
            return Value::ofNumber(0);
        case Value::Kind::Boolean:
            return Value::ofNumber(v.code);
        case Value::Kind::Error:
            return v;
        case Value::Kind::Text: {
            double n = 0;
            return textToNumber(v.text, n, date1904) ? Value::ofNumber(n)
                                                     : Value::ofError(err::kValue);
        }
    }
    return Value::ofError(err::kValue);
}

QString numberToText(double n) {
    return velmora::numberText(n);
}

Value toText(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Text:
            return v;
        case Value::Kind::Empty:
            return Value::ofText(QString());
        case Value::Kind::Number:
            return Value::ofText(numberToText(v.number));
        case Value::Kind::Boolean:
            return Value::ofText(v.code ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        case Value::Kind::Error:
            return v;
    }
    return Value::ofError(err::kValue);
}

Value toBoolean(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Boolean:
            return v;
        case Value::Kind::Empty:
            return Value::ofBoolean(false);
        case Value::Kind::Number:
            return Value::ofBoolean(v.number != 0);
        case Value::Kind::Text:
            if (v.text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
                return Value::ofBoolean(true);
            if (v.text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
                return Value::ofBoolean(false);
            return Value::ofError(err::kValue);
        case Value::Kind::Error:
            return v;
    }
    return Value::ofError(err::kValue);
}

namespace {
int rank(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Number:
            return 0;
        case Value::Kind::Text:
            return 1;
        case Value::Kind::Boolean:
            return 2;
        default:
            return 3;
    }
}
}  // namespace

int compareValues(const Value& a, const Value& b) {
    // An empty cell takes the other side's type.
    if (a.isEmpty() && b.isEmpty())
        return 0;
    if (a.isEmpty()) {
        if (b.isText())
            return b.text.isEmpty() ? 0 : -1;
        if (b.isBoolean())
            return b.code ? -1 : 0;
        return nearlyEqual(0, b.number) ? 0 : (0 < b.number ? -1 : 1);
    }
    if (b.isEmpty())
        return -compareValues(b, a);
    const int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    switch (a.kind) {
        case Value::Kind::Number:
            return nearlyEqual(a.number, b.number) ? 0 : (a.number < b.number ? -1 : 1);
        case Value::Kind::Text: {
            const int c = a.text.compare(b.text, Qt::CaseInsensitive);
            return c < 0 ? -1 : c > 0 ? 1 : 0;
        }
        case Value::Kind::Boolean:
            return int(a.code) - int(b.code);
        default:
            return 0;
    }
}

bool nearlyEqual(double a, double b) {
    if (a == b)
        return true;
    const double scale = std::max(std::fabs(a), std::fabs(b));
    return std::fabs(a - b) < scale * 0x1p-48;
}

double addNumbers(double a, double b) {
    if (((a < 0 && b > 0) || (a > 0 && b < 0)) && nearlyEqual(a, -b))
        return 0;
    return a + b;
}

}  // namespace velmora::formula
