#pragma once

#include "workbook/xls/sheet.h"

#include <map>
#include <optional>
#include <vector>

// The cell table of a worksheet taken apart for rewriting: ROW records by
// row and, per row, the cells in column order. A cell is its record with the
// records that belong to it (a FORMULA's SHRFMLA, ARRAY, TABLE and STRING),
// kept as they were, or a record made for an edit.
namespace velmora::xls {

struct CellFormats;

struct CellUnit {
    int first = 0, last = 0;  // columns it covers
    size_t record = 0;        // original records [record, recordEnd) when made is empty
    size_t recordEnd = 0;
    QByteArray made;  // the records (headers included) written for an edit
    // A FORMULA kept: its shared formula written out for the cell, and a
    // new result (its STRING record replaced).
    QByteArray ownFormula;
    std::optional<formula::Value> result;
};

struct CellTable {
    std::map<int, QByteArray> rowRecords;  // ROW bodies by row
    std::map<int, std::vector<CellUnit>> rows;
    size_t first = 0, last = 0;  // the records the table spans; first > last: none
    std::vector<size_t> others;  // records inside that span that are not cells
    bool hadDbCells = false;
};

CellTable readCellTable(const Sheet& sheet, const QByteArray& stream);

// Merges the sheet's edits into the table: written cells become LABELSST,
// NUMBER or FORMULA records keeping their format, cleared ones BLANK; MULRK
// and MULBLANK records are split only where an edit falls inside them. Every
// row holding a cell gets a ROW record covering its cells. Formula results
// (by cell key) go into their cells' FORMULA records.
void applyEdits(CellTable& table, const Sheet& sheet, const QByteArray& stream,
                const CellFormats& formats, const std::map<quint32, quint32>& stringOf,
                const std::map<quint32, formula::Value>* results);

// A ROW record body for a row that has none: the sheet's default height.
QByteArray newRow(const Sheet& sheet, int row);

// The unit's bytes as they go into the stream.
QByteArray unitBytes(const CellUnit& unit, const Sheet& sheet, const QByteArray& stream);

}  // namespace velmora::xls
