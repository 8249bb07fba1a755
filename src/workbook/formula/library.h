#pragma once

#include "workbook/formula/call.h"

#include <QStringView>
#include <vector>

// The functions the calculation computes, by the id the format stores them
// under or by name (newer and add-in functions). Each group of functions
// lives in a file of its own (fn_*.cpp) and lists itself here.
namespace velmora::formula {

struct FunctionEntry {
    const char* name;
    FunctionImpl impl;
};

// nullptr for functions the calculation does not compute.
FunctionImpl functionImpl(int id);
FunctionImpl functionImplByName(QStringView name);  // with or without "_xlfn."

const std::vector<FunctionEntry>& logicFunctions();
const std::vector<FunctionEntry>& mathFunctions();
const std::vector<FunctionEntry>& statisticsFunctions();
const std::vector<FunctionEntry>& conditionalFunctions();
const std::vector<FunctionEntry>& textFunctions();
const std::vector<FunctionEntry>& lookupFunctions();
const std::vector<FunctionEntry>& dateFunctions();
const std::vector<FunctionEntry>& financeFunctions();
const std::vector<FunctionEntry>& engineeringFunctions();
const std::vector<FunctionEntry>& regressionFunctions();

}  // namespace velmora::formula
