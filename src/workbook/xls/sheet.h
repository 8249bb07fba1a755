#pragma once

#include "workbook/cellref.h"
#include "workbook/cellvalue.h"
#include "workbook/formula/links.h"
#include "workbook/formula/value.h"
#include "workbook/xls/records.h"
#include "workbook/xls/sheetsizes.h"

#include <QString>
#include <QtEndian>
#include <map>
#include <optional>
#include <vector>

// One sheet of the workbook: its records as loaded, an index of its cells,
// and the edits made since, which the writer merges into the records.
namespace velmora::xls {

struct CellFormats;
struct SharedStrings;

inline quint32 cellKey(int row, int column) {
    return quint32(row) << 8 | quint32(column);
}
inline CellRef keyRef(quint32 key) {
    return CellRef{int(key >> 8), int(key & 0xFF)};
}

struct CellSlot {
    quint32 key = 0;
    quint32 record = 0;  // index into Sheet::records
    quint16 entry = 0;   // position inside a MULRK or MULBLANK
};

struct Edit {
    enum class Kind { Text, Number, Clear, Formula };
    Kind kind = Kind::Clear;
    QString text;  // Formula: as typed, without '='
    double number = 0;
    formula::Expression expression;  // Formula: its tokens
    bool isVolatile = false;         // Formula: recalculated on every change
};

struct CellRange {
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    bool contains(int row, int column) const {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
};

struct Sheet {
    QString name;
    quint8 kind = 0;        // BOUNDSHEET type: 0 worksheet, 1 macro sheet, 2 chart
    size_t boundSheet = 0;  // index of its BOUNDSHEET among the globals records
    qint64 offset = 0;      // where its substream starts in the stream
    std::vector<Record> records;
    // Where the cell records follow one another in ascending order of their
    // cells (as writers put them), the records are the index of the cells;
    // otherwise `cells` holds a slot per cell record, by key (several slots
    // per key: the last one counts).
    bool cellsInOrder = true;
    size_t firstCell = 0, endCells = 0;  // the records holding the cells
    std::vector<CellSlot> cells;
    // Array formulas and data tables: the cells each fills and its ARRAY or
    // TABLE record.
    struct ArrayFormula {
        CellRange range;
        size_t record = 0;
    };
    std::vector<ArrayFormula> arrays;
    // Shared formulas: the cell whose FORMULA record the SHRFMLA follows,
    // which the other cells of the range name in theirs.
    struct SharedFormula {
        int row = 0, column = 0;
        size_t formula = 0, shared = 0;  // record indices
    };
    std::vector<SharedFormula> shared;
    bool hasFormulas = false;
    std::map<quint32, Edit> edits;

    // What the sheet window needs: row heights in twips (0: hidden), column
    // widths in 1/256 of a character, and the defaults for the others.
    struct Columns {
        int first = 0, last = 0, width = 0, xf = 0;
        bool hidden = false;
    };
    std::map<int, int> rowTwips;
    std::map<int, int> rowXf;  // rows formatted as a whole
    std::vector<Columns> columns;
    int defaultRowTwips = 255;
    quint16 defaultRowFlags = 0;  // DEFAULTROWHEIGHT: 1 height set by hand, 2 rows hidden
    int defaultColumnChars = 8;   // DEFCOLWIDTH, without the padding
    int standardWidth = -1;       // STANDARDWIDTH in 1/256 characters, when present
    SizeEdits sizes;              // changed in the sheet window since loading

    std::optional<CellSlot> slot(const QByteArray& stream, quint32 key) const;
    // Calls f(const CellSlot&) for every cell once, by key.
    template <typename F>
    void forEachSlot(const QByteArray& stream, F&& f) const;
    // The format a new cell gets: its row's, else its column's, else the
    // workbook's default cell format.
    int newCellXf(int row, int column, int defaultXf) const;
};

// The cell records, and how many cells each holds (MULRK and MULBLANK hold
// a run of cells of one row: 6 and 2 bytes a cell).
inline bool isCellRecord(quint16 type) {
    switch (type) {
        case rt::kLabelSst:
        case rt::kLabel:
        case rt::kRString:
        case rt::kNumber:
        case rt::kRk:
        case rt::kMulRk:
        case rt::kBlank:
        case rt::kMulBlank:
        case rt::kBoolErr:
        case rt::kFormula:
            return true;
        default:
            return false;
    }
}
inline bool isMultiCell(quint16 type) {
    return type == rt::kMulRk || type == rt::kMulBlank;
}
inline int multiCellWidth(quint16 type) {
    return type == rt::kMulRk ? 6 : 2;
}
inline int cellsIn(const Record& r) {
    return isMultiCell(r.type) ? (r.size - 6) / multiCellWidth(r.type) : 1;
}

template <typename F>
void Sheet::forEachSlot(const QByteArray& stream, F&& f) const {
    if (!cellsInOrder) {
        for (size_t i = 0; i < cells.size(); ++i)
            if (i + 1 == cells.size() || cells[i + 1].key != cells[i].key)
                f(cells[i]);
        return;
    }
    for (size_t i = firstCell; i < endCells; ++i) {
        const Record& r = records[i];
        if (!isCellRecord(r.type))
            continue;
        const char* b = r.body(stream);
        const int row = qFromLittleEndian<quint16>(b);
        const int column = qFromLittleEndian<quint16>(b + 2);
        const int n = cellsIn(r);
        for (int e = 0; e < n; ++e) f(CellSlot{cellKey(row, column + e), quint32(i), quint16(e)});
    }
}

// Reads the records of a worksheet into its cell index. Throws XlsError for
// a cell record too short for its kind or naming a string that does not exist.
void indexCells(Sheet& sheet, const QByteArray& stream, size_t stringCount);

struct ReadContext {
    const QByteArray& stream;
    const SharedStrings& strings;
    const CellFormats& formats;
};

// The value and the XF index a loaded cell holds.
CellValue cellValue(const ReadContext& ctx, const Sheet& sheet, const CellSlot& slot);
// A cell referring to the shared string table: its text into `into`
// (reusing its room), and true; false for any other cell.
bool readSharedText(const ReadContext& ctx, const Sheet& sheet, const CellSlot& slot,
                    QString& into);
// The value as stored: date serials of the workbook's own date system.
formula::Value storedValue(const ReadContext& ctx, const Sheet& sheet, const CellSlot& slot);
// A stored value as the host hands it over.
CellValue toCellValue(const formula::Value& v, bool date, bool date1904);
int cellXf(const QByteArray& stream, const Sheet& sheet, const CellSlot& slot);

}  // namespace velmora::xls

namespace velmora::xls {

// The sheet's extent and the sizes the sheet window draws with (pixels at
// 96 dpi); digitWidthPx is the width of '0' in the workbook's default font.
CellRef lastCell(const Sheet& sheet, const QByteArray& stream);
int columnWidthPx(const Sheet& sheet, int column, int digitWidthPx);
int rowHeightPx(const Sheet& sheet, int row);

}  // namespace velmora::xls
