#include "workbook/xls/bytes.h"
#include "workbook/xls/formats.h"
#include "workbook/xls/sheet.h"
#include "workbook/xls/sst.h"
#include "workbook/xls/xlstring.h"
#include "workbook/xls/xlsworkbook.h"

#include <algorithm>

namespace velmora::xls {

namespace {

[[noreturn]] void badCell(const Sheet& sheet) {
    throw XlsError(QStringLiteral("工作表“%1”中有损坏的单元格记录。").arg(sheet.name));
}

// Smallest body of each cell record that the reader looks into.
int minimumSize(quint16 type) {
    switch (type) {
        case rt::kLabelSst:
            return 10;
        case rt::kLabel:
        case rt::kRString:
            return 9;
        case rt::kNumber:
            return 14;
        case rt::kRk:
            return 10;
        case rt::kBlank:
            return 6;
        case rt::kBoolErr:
            return 8;
        case rt::kFormula:
            return 20;
        case rt::kMulRk:
            return 12;
        case rt::kMulBlank:
            return 8;
        default:
            return -1;
    }
}

CellRange readRefU(const char* b) {
    return CellRange{u16(b), u16(b + 2), u8(b + 4), u8(b + 5)};
}

// An RK value: a 30-bit integer or the top 30 bits of a double, possibly
// divided by 100.
double rkValue(quint32 rk) {
    double v;
    if (rk & 0x02) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & 0x01) ? v / 100 : v;
}

QString recordString(const ReadContext& ctx, const Sheet& sheet, size_t record, int skip) {
    RecordReader in(ctx.stream, sheet.records, record);
    in.skip(skip);
    return normalizeLineBreaks(readUnicodeString(in, 2));
}

// A FORMULA record's result: a number, or a type in the first byte and
// 0xFFFF in the last two (0 text in the STRING record that follows, 1 a
// logical value, 2 an error, 3 an empty text).
formula::Value formulaResult(const ReadContext& ctx, const Sheet& sheet, size_t record) {
    const char* b = sheet.records[record].body(ctx.stream);
    if (u16(b + 12) != 0xFFFF)
        return formula::Value::ofNumber(f64(b + 6));
    switch (u8(b + 6)) {
        case 0: {
            const qint64 string = cellFollower(sheet.records, record, rt::kString);
            return formula::Value::ofText(
                string < 0 ? QString() : recordString(ctx, sheet, size_t(string), 0));
        }
        case 1:
            return formula::Value::ofBoolean(u8(b + 8) != 0);
        case 2:
            return formula::Value::ofError(u8(b + 8));
        default:
            return formula::Value::ofText(QString());
    }
}

void readLayout(Sheet& sheet, const Record& r, const char* b) {
    if (r.type == rt::kRow && r.size >= 16) {
        const quint32 flags = u32(b + 12);
        sheet.rowTwips[u16(b)] = (flags & 0x20) ? 0 : (u16(b + 6) & 0x7FFF);
        if (flags & 0x80)
            sheet.rowXf[u16(b)] = int((flags >> 16) & 0xFFF);
    } else if (r.type == rt::kColInfo && r.size >= 10) {
        sheet.columns.push_back({u16(b), u16(b + 2), u16(b + 4), u16(b + 6), bool(u16(b + 8) & 1)});
    } else if (r.type == rt::kDefaultRowHeight && r.size >= 4) {
        sheet.defaultRowFlags = u16(b);
        sheet.defaultRowTwips = u16(b + 2);
    } else if (r.type == rt::kDefColWidth && r.size >= 2) {
        sheet.defaultColumnChars = u16(b);
    } else if (r.type == rt::kStandardWidth && r.size >= 2) {
        sheet.standardWidth = u16(b);
    }
}

}  // namespace

std::optional<CellSlot> Sheet::slot(const QByteArray& stream, quint32 key) const {
    if (!cellsInOrder) {
        auto it = std::upper_bound(cells.begin(), cells.end(), key,
                                   [](quint32 k, const CellSlot& s) { return k < s.key; });
        if (it == cells.begin() || (it - 1)->key != key)
            return std::nullopt;
        return *(it - 1);
    }
    // The last cell record starting at or before the key. Other records lie
    // between the cell records (ROW, DBCELL): a probe goes on to the next
    // cell record; the records it passes are left behind either way.
    const auto at = [&](size_t i) {
        const char* b = records[i].body(stream);
        return std::pair{int(u16(b)), int(u16(b + 2))};
    };
    size_t lo = firstCell, hi = endCells, found = endCells;
    while (lo < hi) {
        size_t i = lo + (hi - lo) / 2;
        const size_t probe = i;
        while (i < hi && !isCellRecord(records[i].type)) ++i;
        if (i == hi) {
            hi = probe;
        } else if (const auto [row, column] = at(i); cellKey(row, column) <= key) {
            found = i;
            lo = i + 1;
        } else {
            hi = probe;
        }
    }
    if (found == endCells)
        return std::nullopt;
    const auto [row, column] = at(found);
    const int entry = int(key & 0xFF) - column;
    if (int(key >> 8) != row || entry >= cellsIn(records[found]))
        return std::nullopt;
    return CellSlot{key, quint32(found), quint16(entry)};
}

int Sheet::newCellXf(int row, int column, int defaultXf) const {
    if (const auto it = rowXf.find(row); it != rowXf.end())
        return it->second;
    for (const Columns& c : columns)
        if (column >= c.first && column <= c.last)
            return c.xf;
    return defaultXf;
}

namespace {
// Records between two cell records beyond which the records stop serving
// as the index (a lookup passes at most this many per probe).
constexpr int kMaxGap = 1024;
}  // namespace

void indexCells(Sheet& sheet, const QByteArray& stream, size_t stringCount) {
    int depth = 0;
    qint64 lastKey = -1;
    int gap = 0;
    for (size_t i = 0; i < sheet.records.size(); ++i) {
        const Record& r = sheet.records[i];
        if (r.type == rt::kBof)
            ++depth;
        else if (r.type == rt::kEof)
            --depth;
        if (depth != 1 || !isCellRecord(r.type)) {
            ++gap;
            if (depth != 1 && lastKey >= 0)
                gap = kMaxGap + 1;  // an embedded substream among the cells
        }
        if (depth != 1)
            continue;
        const char* b = r.body(stream);
        readLayout(sheet, r, b);
        if ((r.type == rt::kArray || r.type == rt::kTable) && r.size >= 6) {
            sheet.arrays.push_back({readRefU(b), i});
            continue;
        }
        if (r.type == rt::kShrFmla) {
            const Record& f = sheet.records[i - 1];
            if (f.type == rt::kFormula && f.size >= 4)
                sheet.shared.push_back({u16(f.body(stream)), u16(f.body(stream) + 2), i - 1, i});
            continue;
        }
        if (!isCellRecord(r.type))
            continue;
        if (r.size < minimumSize(r.type))
            badCell(sheet);
        const int row = u16(b);
        const int column = u16(b + 2);
        const int count = cellsIn(r);
        if (column + count > CellRef::kMaxColumns)
            badCell(sheet);
        if (r.type == rt::kLabelSst && u32(b + 6) >= stringCount)
            badCell(sheet);
        if (r.type == rt::kFormula)
            sheet.hasFormulas = true;
        if (lastKey < 0)
            sheet.firstCell = i;
        else if (qint64(cellKey(row, column)) <= lastKey || gap > kMaxGap)
            sheet.cellsInOrder = false;
        sheet.endCells = i + 1;
        lastKey = cellKey(row, column + count - 1);
        gap = 0;
    }
    if (sheet.cellsInOrder)
        return;
    sheet.cells.reserve(sheet.records.size());
    depth = 0;
    for (size_t i = 0; i < sheet.records.size(); ++i) {
        const Record& r = sheet.records[i];
        depth += r.type == rt::kBof ? 1 : r.type == rt::kEof ? -1 : 0;
        if (depth != 1 || !isCellRecord(r.type))
            continue;
        const char* b = r.body(stream);
        for (int e = 0; e < cellsIn(r); ++e)
            sheet.cells.push_back({cellKey(u16(b), u16(b + 2) + e), quint32(i), quint16(e)});
    }
    std::stable_sort(sheet.cells.begin(), sheet.cells.end(),
                     [](const CellSlot& a, const CellSlot& b) { return a.key < b.key; });
}

int cellXf(const QByteArray& stream, const Sheet& sheet, const CellSlot& slot) {
    const Record& r = sheet.records[slot.record];
    const char* b = r.body(stream);
    if (r.type == rt::kMulRk)
        return u16(b + 4 + 6 * slot.entry);
    if (r.type == rt::kMulBlank)
        return u16(b + 4 + 2 * slot.entry);
    return u16(b + 4);
}

formula::Value storedValue(const ReadContext& ctx, const Sheet& sheet, const CellSlot& slot) {
    using formula::Value;
    const Record& r = sheet.records[slot.record];
    const char* b = r.body(ctx.stream);
    switch (r.type) {
        case rt::kLabelSst: {
            // The table's text itself, not a copy: the table outlives the value.
            const QStringView text = ctx.strings.text(u32(b + 6));
            return Value::ofText(QString::fromRawData(text.data(), text.size()));
        }
        case rt::kLabel:
        case rt::kRString:
            return Value::ofText(recordString(ctx, sheet, slot.record, 6));
        case rt::kNumber:
            return Value::ofNumber(f64(b + 6));
        case rt::kRk:
            return Value::ofNumber(rkValue(u32(b + 6)));
        case rt::kMulRk:
            return Value::ofNumber(rkValue(u32(b + 4 + 6 * slot.entry + 2)));
        case rt::kBoolErr:
            return u8(b + 7) ? Value::ofError(u8(b + 6)) : Value::ofBoolean(u8(b + 6) != 0);
        case rt::kFormula:
            return formulaResult(ctx, sheet, slot.record);
        default:
            return Value();
    }
}

CellValue toCellValue(const formula::Value& v, bool date, bool date1904) {
    switch (v.kind) {
        case formula::Value::Kind::Text:
            // A copy of its own: the value may outlive the workbook. Line
            // breaks are LF inside the program, also in formula results.
            return CellValue::makeText(
                normalizeLineBreaks(QString(v.text.constData(), v.text.size())));
        case formula::Value::Kind::Number:
            // Dates are handed over as serials of the 1900 date system.
            return CellValue::makeNumber(date && date1904 ? v.number + 1462 : v.number, date);
        case formula::Value::Kind::Boolean:
            return CellValue::makeBoolean(v.code != 0);
        case formula::Value::Kind::Error:
            return CellValue::makeError(v.code);
        case formula::Value::Kind::Empty:
            break;
    }
    return CellValue();
}

bool readSharedText(const ReadContext& ctx, const Sheet& sheet, const CellSlot& slot,
                    QString& into) {
    const Record& r = sheet.records[slot.record];
    if (r.type != rt::kLabelSst)
        return false;
    ctx.strings.read(u32(r.body(ctx.stream) + 6), into);
    return true;
}

CellValue cellValue(const ReadContext& ctx, const Sheet& sheet, const CellSlot& slot) {
    if (QString text; readSharedText(ctx, sheet, slot, text))
        return CellValue::makeText(text);
    const formula::Value v = storedValue(ctx, sheet, slot);
    return toCellValue(v, v.isNumber() && ctx.formats.isDate(cellXf(ctx.stream, sheet, slot)),
                       ctx.formats.date1904);
}

}  // namespace velmora::xls
