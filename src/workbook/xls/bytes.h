#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cstring>

// Little-endian access to the bytes of a BIFF record or a stream. Callers
// check bounds before reading; writers append to a QByteArray.
namespace velmora::xls {

inline quint8 u8(const char* p) {
    return static_cast<quint8>(*p);
}
inline quint16 u16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
inline quint32 u32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}
inline double f64(const char* p) {
    return qFromLittleEndian<double>(p);
}

inline void put16(char* p, quint16 v) {
    qToLittleEndian(v, p);
}
inline void put32(char* p, quint32 v) {
    qToLittleEndian(v, p);
}

inline void add8(QByteArray& b, quint8 v) {
    b.append(static_cast<char>(v));
}
inline void add16(QByteArray& b, quint16 v) {
    char t[2];
    put16(t, v);
    b.append(t, 2);
}
inline void add32(QByteArray& b, quint32 v) {
    char t[4];
    put32(t, v);
    b.append(t, 4);
}
inline void addF64(QByteArray& b, double v) {
    char t[8];
    qToLittleEndian(v, t);
    b.append(t, 8);
}

}  // namespace velmora::xls
