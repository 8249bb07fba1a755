#pragma once

#include "workbook/cellref.h"
#include "workbook/cellvalue.h"
#include "workbook/xls/cellstate.h"
#include "workbook/xls/xlserror.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace velmora::xls {

struct PageSetup;
struct SheetDisplay;
struct SheetLayout;
struct WorkbookStyles;

// An Excel 97-2003 workbook (BIFF8 in an OLE2 compound file), in memory.
// Loading keeps every record and every stream of the file; saving writes back
// only what the edits changed, everything else byte for byte.
class XlsWorkbook {
public:
    static XlsWorkbook load(const QString& path);          // throws XlsError
    static XlsWorkbook fromBytes(const QByteArray& file);  // throws XlsError
    // A new workbook with these (worksheet) names, no cells. A name no
    // workbook can hold (empty, over 31 characters, one of []:*?/\, twice)
    // throws XlsError. columnWidths gives, sheet by sheet, the widths of
    // columns (0-based) in characters; other columns keep the default width.
    static XlsWorkbook create(const QStringList& sheetNames,
                              const QList<QMap<int, double>>& columnWidths = {});
    // A new workbook with these worksheets: their looks, sizes, merges,
    // panes and page setup, no values. XlsError as above.
    static XlsWorkbook create(const std::vector<SheetLayout>& sheets);

    XlsWorkbook(XlsWorkbook&&) noexcept;
    XlsWorkbook& operator=(XlsWorkbook&&) noexcept;
    ~XlsWorkbook();

    // Worksheets in workbook order (chart sheets and macro sheets excluded).
    QStringList sheetNames() const;
    // Exact, case-sensitive comparison of the stored name; -1 when absent.
    int sheetIndex(const QString& name) const;

    CellValue cell(int sheet, CellRef ref) const;
    // Every non-empty cell of a sheet in row-major order.
    void forEachCell(int sheet, const std::function<void(CellRef, const CellValue&)>& f) const;

    // Stores text as a text cell (keeping the cell's format); the empty text
    // empties the cell. Longer than 32767 characters: XlsError, nothing changes.
    void setText(int sheet, CellRef ref, const QString& text);
    void setNumber(int sheet, CellRef ref, double value);
    void clear(int sheet, CellRef ref);
    bool isModified() const;

    // Formulas. A formula cell's value is its result: what the engine's
    // calculation computed where it can, else the result the file holds.
    struct FormulaCell {
        CellRef cell;
        QString text;                       // as shown, without the leading '='
        CellValue cached;                   // the result the file holds
        std::optional<CellValue> computed;  // by the last calculation; nullopt: not computed
        bool isVolatile = false;  // reads TODAY, NOW, RAND ... directly or through other cells
    };
    std::vector<FormulaCell> formulas(int sheet) const;
    // The formula of a cell (without '='), or "" for a cell without one.
    QString formula(int sheet, CellRef ref) const;
    // Makes the cell hold the formula (text without '='). Text that is no
    // formula, or one the format or the engine cannot hold: XlsError naming
    // the position, nothing changes.
    void setFormula(int sheet, CellRef ref, const QString& text);
    // Stores input as a person types it into a cell: a leading '=' makes a
    // formula, a plain decimal number a number, anything else text, the
    // empty text empties the cell.
    void enter(int sheet, CellRef ref, const QString& input);
    // False for a formula cell whose value is the file's result because the
    // engine does not compute it (and for cells without a formula).
    bool isComputed(int sheet, CellRef ref) const;
    // Computes every formula anew, as on opening the workbook. Writes are
    // followed by the recalculation of what depends on them on their own.
    void recalculate();
    // The cells whose values recalculation changed since the last call.
    struct SheetCell {
        int sheet = 0;
        CellRef cell;
    };
    std::vector<SheetCell> takeChangedCells();

    // The whole compound file as it would be written now.
    QByteArray toBytes() const;

    // What the sheet window needs to look like the file.
    // Last row and column holding a cell, or {-1,-1} for an empty sheet.
    CellRef lastCell(int sheet) const;
    // Width of a column in pixels at 96 dpi, height of a row in pixels.
    int columnWidthPx(int sheet, int column) const;
    int rowHeightPx(int sheet, int row) const;

    // One line per BIFF record of the workbook stream (offset, type, name,
    // length), for debugging.
    QStringList recordDump() const;

    // How cells look and the sheet is shown, and sizes changed by dragging
    // (saved in the sheet's COLINFO and ROW records).
    const WorkbookStyles& styles() const;
    // The cell format (XF index) a cell shows with: its own, else its row's
    // or column's, else the default.
    int cellStyle(int sheet, CellRef ref) const;
    SheetDisplay display(int sheet) const;
    // How the sheet prints.
    PageSetup pageSetup(int sheet) const;
    // 0 hides the column or row; sizes are kept within what Excel allows.
    void setColumnWidthPx(int sheet, int column, int px);
    void setRowHeightPx(int sheet, int row, int px);

    // For undo: a cell's state, and putting it back (a cell as loaded gets
    // its record from the file again, formulas and all). A formula state
    // that does not compile throws XlsError naming the position as typed,
    // its '=' counted, and changes nothing.
    CellState cellState(int sheet, CellRef ref) const;
    void restoreCellState(int sheet, CellRef ref, const CellState& state);
    bool hasFormula(int sheet, CellRef ref) const;

private:
    struct Impl;
    explicit XlsWorkbook(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

}  // namespace velmora::xls
