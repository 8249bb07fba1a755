#pragma once

#include "workbook/formula/links.h"
#include "workbook/formula/references.h"
#include "workbook/formula/value.h"

#include <vector>

// What a formula's tokens say before it is evaluated: whether the engine can
// compute it at all, whether it must be recomputed on every change, and the
// cells it reads (defined names followed).
namespace velmora::formula {

struct FormulaFacts {
    bool computable = true;
    bool isVolatile = false;  // RAND, NOW, TODAY, OFFSET, INDIRECT ...
    std::vector<Area> precedents;
};

FormulaFacts analyse(const Expression& e, const Site& site, const Links& links);

}  // namespace velmora::formula
