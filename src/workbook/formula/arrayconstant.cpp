#include "workbook/formula/arrayconstant.h"

#include <QtEndian>
#include <cstring>

namespace velmora::formula {

namespace {
// SerAr: a type byte, then 8 bytes (a number; a boolean or error code in
// the first), or a string with a 2-byte count and a flag byte.
constexpr quint8 kNil = 0x00, kNumber = 0x01, kString = 0x02, kBool = 0x04, kError = 0x10;
}  // namespace

bool readArrayConstant(const char*& p, const char* end, Matrix& out) {
    if (end - p < 3)
        return false;
    const int columns = quint8(p[0]) + 1;
    const int rows = qFromLittleEndian<quint16>(p + 1) + 1;
    p += 3;
    // Every element takes at least 4 bytes: no more can be there.
    if (qint64(rows) * columns > (end - p) / 4)
        return false;
    Matrix m(rows, columns);
    for (Value& v : m.cells) {
        if (end - p < 1)
            return false;
        const quint8 type = quint8(*p++);
        if (type == kString) {
            if (end - p < 3)
                return false;
            const int count = qFromLittleEndian<quint16>(p);
            const bool wide = p[2] & 1;
            p += 3;
            if (end - p < qint64(count) * (wide ? 2 : 1))
                return false;
            QString s;
            if (wide) {
                s.resize(count);
                for (int i = 0; i < count; ++i) s[i] = QChar(qFromLittleEndian<quint16>(p + 2 * i));
            } else {
                s = QString::fromLatin1(p, count);
            }
            p += qint64(count) * (wide ? 2 : 1);
            v = Value::ofText(s);
            continue;
        }
        if (end - p < 8)
            return false;
        if (type == kNumber)
            v = Value::ofNumber(qFromLittleEndian<double>(p));
        else if (type == kBool)
            v = Value::ofBoolean(p[0] != 0);
        else if (type == kError)
            v = Value::ofError(quint8(p[0]));
        else if (type != kNil)
            return false;
        p += 8;
    }
    out = std::move(m);
    return true;
}

bool skipMemAreas(const char*& p, const char* end) {
    if (end - p < 2)
        return false;
    const qint64 size = 2 + 8 * qint64(qFromLittleEndian<quint16>(p));
    if (end - p < size)
        return false;
    p += size;
    return true;
}

void appendArrayConstant(QByteArray& extra, const Matrix& m) {
    char head[3];
    head[0] = char(m.columns - 1);
    qToLittleEndian<quint16>(quint16(m.rows - 1), head + 1);
    extra.append(head, 3);
    for (const Value& v : m.cells) {
        char b[9] = {};
        switch (v.kind) {
            case Value::Kind::Number:
                b[0] = char(kNumber);
                qToLittleEndian(v.number, b + 1);
                break;
            case Value::Kind::Boolean:
                b[0] = char(kBool);
                b[1] = char(v.code);
                break;
            case Value::Kind::Error:
                b[0] = char(kError);
                b[1] = char(v.code);
                break;
            case Value::Kind::Text: {
                extra.append(char(kString));
                char count[2];
                qToLittleEndian<quint16>(quint16(v.text.size()), count);
                extra.append(count, 2);
                extra.append(char(1));
                for (QChar c : v.text) {
                    char u[2];
                    qToLittleEndian<quint16>(c.unicode(), u);
                    extra.append(u, 2);
                }
                continue;
            }
            case Value::Kind::Empty:
                break;
        }
        extra.append(b, 9);
    }
}

}  // namespace velmora::formula
