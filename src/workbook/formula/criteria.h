#pragma once

#include "workbook/formula/value.h"

#include <QString>

// The criteria of COUNTIF, SUMIF, the ...IFS functions and the database
// functions: a value to equal, or a text with a comparison in front
// (">=60", "<>", "=张*"), where '*' and '?' stand for any text and any one
// character and '~' takes the next character as it is. Texts compare
// without regard to case.
namespace velmora::formula {

class Criterion {
public:
    // In a database function's criteria a text without a comparison in
    // front matches every text beginning with it.
    enum class Text { Whole, Prefix };
    Criterion(const Value& criterion, bool date1904, Text text = Text::Whole);
    bool matches(const Value& v) const;

private:
    enum class Op { Eq, Ne, Lt, Le, Gt, Ge };
    Op op_ = Op::Eq;
    Value operand_;
    bool wildcard_ = false;
};

// Wildcard matching of a whole text, without regard to case.
bool wildcardMatch(QStringView pattern, QStringView text);
// Where a wildcard pattern first matches inside text from start, or -1
// (SEARCH).
qsizetype wildcardFind(QStringView pattern, QStringView text, qsizetype start);

}  // namespace velmora::formula
