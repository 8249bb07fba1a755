#include "workbook/xls/formularecord.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"
#include "workbook/xls/xlstring.h"

namespace velmora::xls {

namespace {

constexpr quint16 kAlwaysCalc = 0x0001;

QByteArray resultBytes(const formula::Value& v) {
    QByteArray b(8, '\0');
    switch (v.kind) {
        case formula::Value::Kind::Number:
            qToLittleEndian(v.number, b.data());
            return b;
        case formula::Value::Kind::Text:
            b[0] = char(v.text.isEmpty() ? 3 : 0);
            break;
        case formula::Value::Kind::Boolean:
            b[0] = 1;
            b[2] = char(v.code);
            break;
        case formula::Value::Kind::Error:
            b[0] = 2;
            b[2] = char(v.code);
            break;
        case formula::Value::Kind::Empty:
            qToLittleEndian(0.0, b.data());
            return b;
    }
    b[6] = b[7] = char(0xFF);
    return b;
}

}  // namespace

QByteArray withResult(QByteArray record, const formula::Value& result) {
    if (record.size() >= 4 + 14)
        record.replace(4 + 6, 8, resultBytes(result));
    return record;
}

QByteArray formulaRecord(int row, int column, int xf, const formula::Expression& e,
                         const formula::Value& result, bool isVolatile) {
    QByteArray body;
    add16(body, quint16(row));
    add16(body, quint16(column));
    add16(body, quint16(xf));
    body.append(resultBytes(result));
    add16(body, isVolatile ? kAlwaysCalc : 0);
    add32(body, 0);
    add16(body, quint16(e.tokens.size()));
    body.append(e.tokens);
    body.append(e.extra);
    return makeRecord(rt::kFormula, body);
}

QByteArray resultString(const formula::Value& result) {
    if (!result.isText() || result.text.isEmpty())
        return QByteArray();
    // A 2-byte count, a flag byte and the characters; a long text goes on
    // in CONTINUE records, each starting with its own flag byte.
    const QString& text = result.text;
    const bool wide = !fitsLatin1(text);
    const int width = wide ? 2 : 1;
    std::vector<QByteArray> bodies(1);
    add16(bodies[0], quint16(text.size()));
    add8(bodies[0], wide ? 1 : 0);
    for (QChar c : text) {
        if (bodies.back().size() + width > kMaxRecordBody) {
            bodies.emplace_back();
            add8(bodies.back(), wide ? 1 : 0);
        }
        if (wide)
            add16(bodies.back(), c.unicode());
        else
            add8(bodies.back(), quint8(c.unicode()));
    }
    QByteArray out;
    appendContinued(out, rt::kString, bodies);
    return out;
}

}  // namespace velmora::xls
