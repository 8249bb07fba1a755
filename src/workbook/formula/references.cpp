#include "workbook/formula/references.h"

#include "workbook/formula/ptg.h"

#include <QtEndian>

namespace velmora::formula {

namespace {

quint16 at16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}

// A row field and a column field (flags in its top bits); relative parts
// are offsets when offsets is set, and wrap around the sheet as in Excel.
RefEnd end(quint16 row, quint16 column, const Site& site, bool offsets) {
    RefEnd e;
    e.rowRelative = column & 0x8000;
    e.columnRelative = column & 0x4000;
    e.row = row;
    e.column = column & 0xFF;
    if (offsets && e.rowRelative)
        e.row = (site.row + qint16(row)) & kMaxRow;
    if (offsets && e.columnRelative)
        e.column = (site.column + qint8(column & 0xFF)) & kMaxColumn;
    return e;
}

}  // namespace

bool decodeReference(const char* p, const Site& site, DecodedRef& out) {
    const quint8 k = ptg::kind(quint8(*p));
    const char* b = p + 1;
    out = DecodedRef();
    switch (k) {
        case ptg::kRef:
        case ptg::kRefErr:
        case ptg::kRefN:
            out.first = end(at16(b), at16(b + 2), site, k == ptg::kRefN);
            out.last = out.first;
            out.error = k == ptg::kRefErr;
            return true;
        case ptg::kArea:
        case ptg::kAreaErr:
        case ptg::kAreaN:
            out.area = true;
            out.first = end(at16(b), at16(b + 4), site, k == ptg::kAreaN);
            out.last = end(at16(b + 2), at16(b + 6), site, k == ptg::kAreaN);
            out.error = k == ptg::kAreaErr;
            return true;
        case ptg::kRef3d:
        case ptg::kRefErr3d:
            out.threeD = true;
            out.externSheet = at16(b);
            out.first = end(at16(b + 2), at16(b + 4), site, site.offsets);
            out.last = out.first;
            out.error = k == ptg::kRefErr3d;
            return true;
        case ptg::kArea3d:
        case ptg::kAreaErr3d:
            out.threeD = true;
            out.area = true;
            out.externSheet = at16(b);
            out.first = end(at16(b + 2), at16(b + 6), site, site.offsets);
            out.last = end(at16(b + 4), at16(b + 8), site, site.offsets);
            out.error = k == ptg::kAreaErr3d;
            return true;
        default:
            return false;
    }
}

}  // namespace velmora::formula
