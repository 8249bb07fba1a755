#pragma once

#include "workbook/formula/call.h"

#include <vector>

// How functions over many values (SUM, AVERAGE, MAX, STDEV ...) take their
// arguments: the numbers in references and arrays, where text, logical
// values and empty cells are left out (the ...A functions count text as 0
// and logical values as 0 or 1), and arguments given directly, converted
// (a text that is no number gives #VALUE!). Errors anywhere are thrown.
namespace velmora::formula {

enum class Counting { Numbers, TextAsZero };

// Calls f(value) for every value of an operand: each cell of every area of
// a reference (on every sheet of a 3-D span) that holds something, each
// element of an array, or the value itself.
template <typename F>
void forEachValue(const Operand& o, const EvalContext& ctx, F&& f) {
    if (o.isReference()) {
        for (const Area& a : o.areas)
            for (int s = a.sheet; s <= a.lastSheet; ++s)
                ctx.charge(1 + ctx.cells.forEach(s, a, [&](int, int, const Value& v) { f(v); }));
    } else if (o.isArray()) {
        for (const Value& v : o.array->cells)
            if (!v.isEmpty())
                f(v);
    } else if (!o.missing) {
        f(o.value);
    }
}

template <typename F>
void forEachNumber(const Call& call, int from, int to, Counting counting, F&& f) {
    for (int i = from; i < to && i < call.count(); ++i) {
        const Operand& o = call.arg(i);
        const bool direct = o.kind == Operand::Kind::Value;
        forEachValue(o, call.ctx, [&](const Value& v) {
            switch (v.kind) {
                case Value::Kind::Number:
                    f(v.number);
                    break;
                case Value::Kind::Error:
                    throw ErrorResult{v.code};
                case Value::Kind::Boolean:
                    if (direct || counting == Counting::TextAsZero)
                        f(double(v.code));
                    break;
                case Value::Kind::Text:
                    if (direct) {
                        const Value n = toNumber(v, call.ctx.date1904);
                        if (n.isError())
                            throw ErrorResult{n.code};
                        f(n.number);
                    } else if (counting == Counting::TextAsZero) {
                        f(0.0);
                    }
                    break;
                case Value::Kind::Empty:
                    break;
            }
        });
    }
}

inline std::vector<double> numbers(const Call& call, int from = 0, int to = 255,
                                   Counting counting = Counting::Numbers) {
    std::vector<double> out;
    forEachNumber(call, from, to, counting, [&](double x) { out.push_back(x); });
    return out;
}

}  // namespace velmora::formula
