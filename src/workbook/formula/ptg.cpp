#include "workbook/formula/ptg.h"

#include <QtEndian>

namespace velmora::formula::ptg {

namespace {
quint16 at16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
}  // namespace

int tokenSize(const char* p, const char* end) {
    if (p >= end)
        return -1;
    const quint8 id = quint8(*p);
    if (id >= 0x80)
        return -1;
    const qsizetype room = end - p;
    int size = -1;
    switch (kind(id)) {
        case kExp:
        case kTbl:
            size = 5;
            break;
        case kStr:
            if (room < 3)
                return -1;
            size = 3 + quint8(p[1]) * ((p[2] & 1) ? 2 : 1);
            break;
        case kAttr:
            if (room < 4)
                return -1;
            // A choose attribute carries its jump table: count + 1 offsets.
            size = (quint8(p[1]) & kAttrChoose) ? 4 + 2 * (at16(p + 2) + 1) : 4;
            break;
        case kErr:
        case kBool:
            size = 2;
            break;
        case kInt:
            size = 3;
            break;
        case kNum:
            size = 9;
            break;
        case kArray:
            size = 8;
            break;
        case kFunc:
            size = 3;
            break;
        case kFuncVar:
            size = 4;
            break;
        case kName:
        case kRef:
        case kRefErr:
        case kRefN:
            size = 5;
            break;
        case kArea:
        case kAreaErr:
        case kAreaN:
            size = 9;
            break;
        case kMemArea:
        case kMemErr:
        case kMemNoMem:
            size = 7;
            break;
        case kMemFunc:
            size = 3;
            break;
        case kNameX:
        case kRef3d:
        case kRefErr3d:
            size = 7;
            break;
        case kArea3d:
        case kAreaErr3d:
            size = 11;
            break;
        default:
            if (id >= kAdd && id <= kMissArg)
                size = 1;
            break;
    }
    return size > 0 && size <= room ? size : -1;
}

QString tokenString(const char* p) {
    const int count = quint8(p[1]);
    if (!(p[2] & 1))
        return QString::fromLatin1(p + 3, count);
    QString s(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i) s[i] = QChar(at16(p + 3 + 2 * i));
    return s;
}

}  // namespace velmora::formula::ptg
