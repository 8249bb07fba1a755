#pragma once

#include "workbook/formula/links.h"
#include "workbook/formula/parser.h"

// Formula text to BIFF8 tokens: operands in the class each place expects
// (a reference, a value or an array), function calls with their argument
// counts, IF and CHOOSE with the jumps of their attribute tokens, a single
// SUM as the SUM attribute, references to other sheets through EXTERNSHEET
// entries (added to the links where missing), newer functions through
// their "_xlfn." names.
namespace velmora::formula {

struct Compiled {
    Expression expression;
    bool isVolatile = false;
};

// Throws FormulaError (nothing added to links then). sheet: the sheet the
// formula belongs to.
Compiled compileFormula(const QString& text, Links& links, int sheet);

}  // namespace velmora::formula
