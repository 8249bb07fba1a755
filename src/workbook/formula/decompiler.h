#pragma once

#include "workbook/formula/links.h"
#include "workbook/formula/references.h"

#include <QString>

// A formula's tokens as the A1 text a spreadsheet program shows (without the
// leading '='): operators with their precedence, numbers, quoted strings,
// references with their '$', sheet names quoted where needed, defined
// names, and newer functions without their "_xlfn." prefix.
namespace velmora::formula {

// Never fails: tokens it cannot read give a placeholder text, and ok (when
// given) is set to false.
QString decompile(const Expression& expression, const Links& links, const Site& site,
                  bool* ok = nullptr);

// The sheet part of a 3-D reference ("学生档案!", "'Sheet 1:Sheet 3'!",
// "[book.xls]Sheet1!"), or "#REF!" when the entry names no sheet.
QString sheetPrefix(const Links& links, int externSheet);

}  // namespace velmora::formula
