#pragma once

#include "workbook/formula/referencetext.h"
#include "workbook/formula/value.h"

#include <QString>
#include <vector>

// Formula text as a person types it (without the leading '='), read into a
// tree: literals, references, names, function calls and operators with
// Excel's precedence (reference operators, negation, percent, power,
// multiplication, addition, joining with &, comparison).
namespace velmora::formula {

// What is wrong with a formula text, and where (0-based character).
struct FormulaError {
    int position = 0;
    QString message;
};

struct Node {
    enum class Kind { Number, Text, Boolean, Error, Missing, Reference, Name, Function, Operator, Array };
    Kind kind = Kind::Number;
    int position = 0;
    Value value;        // Number, Text, Boolean, Error
    TextRef reference;  // Reference
    QString name;       // Name, Function
    quint8 op = 0;      // Operator: the token id (tAdd ... tRange, tUminus, tPercent, tParen)
    std::vector<int> children;
    Matrix array;  // Array
};

struct ParsedFormula {
    std::vector<Node> nodes;
    int root = -1;
};

// Throws FormulaError.
ParsedFormula parseFormula(const QString& text);

// Formulas longer than this or nested deeper cannot be stored.
inline constexpr int kMaxFormulaLength = 1024;
inline constexpr int kMaxNesting = 64;

}  // namespace velmora::formula
