#pragma once

#include <QString>
#include <vector>

// What the file format knows of each worksheet function: how it is stored,
// how many arguments it takes and the operand class of each.
namespace velmora::formula {

struct FunctionInfo {
    int id = 0;  // in tFunc / tFuncVar; 255 for functions stored by name
    const char* name = "";
    int minArgs = 0, maxArgs = 0;
    char returnClass = 'V';      // 'V' value, 'R' reference, 'A' array
    const char* argClasses = "";  // one letter per argument, the last repeats
    bool isVolatile = false;

    // Functions newer than the format (IFERROR, COUNTIFS ...) are calls of
    // function 255 whose first argument names them: "_xlfn.IFERROR".
    bool storedByName() const { return id == 255; }
    bool fixedArgs() const { return minArgs == maxArgs && !storedByName(); }
    char argClass(int index) const;
};

// The prefix newer functions carry in a file, which no program shows.
inline constexpr char kFuturePrefix[] = "_xlfn.";

const std::vector<FunctionInfo>& builtinFunctions();

// By id (tFunc / tFuncVar); nullptr for ids the format does not define.
const FunctionInfo* functionById(int id);
// By name, any case, with or without "_xlfn.": built-in functions first,
// then the newer ones stored by name; nullptr when unknown.
const FunctionInfo* functionByName(QStringView name);

}  // namespace velmora::formula
