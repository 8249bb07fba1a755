#pragma once

#include "workbook/cellref.h"
#include "workbook/cellvalue.h"
#include "workbook/formula/links.h"
#include "workbook/formula/value.h"
#include "workbook/xls/records.h"
#include "workbook/xls/sheetsizes.h"

#include <QString>
#include <map>
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
    std::vector<CellSlot> cells;    // by key; several slots per key keep the last
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

    const CellSlot* slot(quint32 key) const;
    // The format a new cell gets: its row's, else its column's, else the
    // workbook's default cell format.
    int newCellXf(int row, int column, int defaultXf) const;
};

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
// The value as stored: date serials of the workbook's own date system.
formula::Value storedValue(const ReadContext& ctx, const Sheet& sheet, const CellSlot& slot);
// A stored value as the host hands it over.
CellValue toCellValue(const formula::Value& v, bool date, bool date1904);
int cellXf(const QByteArray& stream, const Sheet& sheet, const CellSlot& slot);

}  // namespace velmora::xls

namespace velmora::xls {

// The sheet's extent and the sizes the sheet window draws with (pixels at
// 96 dpi); digitWidthPx is the width of '0' in the workbook's default font.
CellRef lastCell(const Sheet& sheet);
int columnWidthPx(const Sheet& sheet, int column, int digitWidthPx);
int rowHeightPx(const Sheet& sheet, int row);

}  // namespace velmora::xls
