#pragma once

#include "workbook/formula/links.h"
#include "workbook/formula/references.h"
#include "workbook/xls/sheet.h"

#include <optional>

// The formula of a cell as its records hold it: the FORMULA record's own
// tokens, or those of the shared formula (SHRFMLA) or array formula (ARRAY)
// its tExp token points at, or the data table (TABLE) its tTbl names.
namespace velmora::xls {

struct CellFormula {
    enum class Kind { Own, Shared, Array, Table };
    Kind kind = Kind::Own;
    formula::Expression expression;
    formula::Site site;  // sheet: the index among all sheets of the workbook
    CellRange range;     // the cells it fills: one, or an array formula's or table's
    QString tableText;   // Table: "TABLE(,B3)"
};

// The formula of the FORMULA record at sheet.records[record]; nullopt when
// the record or what it points at is damaged.
std::optional<CellFormula> readCellFormula(const QByteArray& stream, const Sheet& sheet,
                                           size_t record, int sheetIndex);

// The formula text of a cell formula as shown (without '=').
QString formulaText(const CellFormula& f, const formula::Links& links, bool* ok = nullptr);

}  // namespace velmora::xls
