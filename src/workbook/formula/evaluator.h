#pragma once

#include "workbook/formula/call.h"

#include <vector>

// Evaluates a formula's tokens in their reverse Polish order over the
// workbook's cells, with Excel's rules: each reference token's operand
// class says whether it gives a reference, one value (the cell where the
// formula's row or column crosses a range) or an array; value arguments
// given arrays are computed element by element; errors propagate.
namespace velmora::formula {

class Evaluator {
public:
    explicit Evaluator(const EvalContext& ctx) : ctx_(ctx) {}

    // The formula's result: one value, or for an array formula an array.
    // Throws Unsupported where the engine cannot compute it.
    Operand evaluate(const Expression& e, const Site& site, bool arrayFormula);

private:
    Operand run(const Expression& e, const Site& site, int depth);
    void token(const char* p, const Site& site, int depth);
    void push(Operand o, quint8 operandClass, const Site& site);
    Operand pop();
    Operand area(const char* p, const Site& site);
    Operand name(int index, const Site& site, int depth);
    Operand externalName(int externSheet, int index, const Site& site, int depth);
    void binary(quint8 op, const Site& site);
    void unary(quint8 op, const Site& site);
    void function(const char* p, const Site& site);
    Operand invoke(const char* name, const struct FunctionInfo* info, FunctionImpl impl,
                   Operand* args, int count, const Site& site);

    const EvalContext& ctx_;
    bool array_ = false;
    std::vector<Operand> stack_;
    const char* extra_ = nullptr;
    const char* extraEnd_ = nullptr;
};

// Where a reference token points: its area with sheets resolved, nullopt
// for a reference to another workbook (not computed) and an area with
// sheet -1 for #REF!.
struct ResolvedRef {
    bool external = false;
    bool error = false;
    Area area;
};
ResolvedRef resolveReference(const char* p, const Site& site, const Links& links);

}  // namespace velmora::formula
