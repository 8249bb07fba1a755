#pragma once

#include "workbook/formula/links.h"
#include "workbook/formula/value.h"

#include <QByteArray>

// FORMULA records as the writer makes them: a result in the 8 bytes after
// the cell (a number, or a type and 0xFFFF), the text of a text result in a
// STRING record after it.
namespace velmora::xls {

// The FORMULA record (header included) with its result field set.
QByteArray withResult(QByteArray formulaRecord, const formula::Value& result);
// A new FORMULA record for a cell; volatile formulas are marked to be
// calculated whenever the file is opened.
QByteArray formulaRecord(int row, int column, int xf, const formula::Expression& e,
                         const formula::Value& result, bool isVolatile);
// The STRING record after a text result; empty for other results (an empty
// text has a type of its own and no STRING).
QByteArray resultString(const formula::Value& result);

}  // namespace velmora::xls
