// Logical and information functions: IF, IFERROR, AND, OR, CHOOSE, the IS
// functions, TYPE, N, T, NA, ERROR.TYPE.
#include "workbook/formula/aggregate.h"
#include "workbook/formula/library.h"

#include <cmath>

namespace velmora::formula {

namespace {

// A branch of IF or CHOOSE: what it gives, reference included; a branch
// left out between commas is 0.
Operand branch(Call& c, int i) {
    if (c.arg(i).missing)
        return Value::ofNumber(0);
    return c.arg(i);
}

Operand ifFn(Call& c) {
    const Value cond = c.scalar(0);
    if (cond.isError())
        return cond;
    const Value b = toBoolean(cond.isText() ? cond : toNumber(cond));
    if (b.isError())
        return b;
    if (b.code)
        return branch(c, 1);
    return c.count() > 2 ? branch(c, 2) : Operand(Value::ofBoolean(false));
}

Operand ifError(Call& c) {
    const Value v = c.scalar(0);
    return v.isError() ? branch(c, 1) : Operand(v);
}

Operand ifNa(Call& c) {
    const Value v = c.scalar(0);
    return v.isError() && v.code == err::kNA ? branch(c, 1) : Operand(v);
}

Operand ifs(Call& c) {
    if (c.count() % 2)
        throw ErrorResult{err::kNA};
    for (int i = 0; i + 1 < c.count(); i += 2)
        if (c.boolean(i))
            return branch(c, i + 1);
    throw ErrorResult{err::kNA};
}

Operand choose(Call& c) {
    const int i = int(std::trunc(c.number(0)));
    if (i < 1 || i >= c.count())
        throw ErrorResult{err::kValue};
    return branch(c, i);
}

// AND, OR, XOR: logical values and numbers count; text in references is
// left out, text given directly must read TRUE or FALSE.
template <typename F>
Operand logical(Call& c, F&& combine) {
    int seen = 0, trues = 0;
    for (int i = 0; i < c.count(); ++i) {
        const bool direct = c.arg(i).kind == Operand::Kind::Value;
        forEachValue(c.arg(i), c.ctx, [&](const Value& v) {
            if (v.isError())
                throw ErrorResult{v.code};
            if (v.isText() && !direct)
                return;
            const Value b = toBoolean(v);
            if (b.isError())
                throw ErrorResult{err::kValue};
            ++seen;
            trues += b.code;
        });
    }
    if (seen == 0)
        throw ErrorResult{err::kValue};
    return Value::ofBoolean(combine(trues, seen));
}

Operand andFn(Call& c) {
    return logical(c, [](int trues, int seen) { return trues == seen; });
}
Operand orFn(Call& c) {
    return logical(c, [](int trues, int) { return trues > 0; });
}
Operand xorFn(Call& c) {
    return logical(c, [](int trues, int) { return trues % 2 == 1; });
}

Operand notFn(Call& c) {
    return Value::ofBoolean(!c.boolean(0));
}
Operand trueFn(Call&) {
    return Value::ofBoolean(true);
}
Operand falseFn(Call&) {
    return Value::ofBoolean(false);
}
Operand na(Call&) {
    return Value::ofError(err::kNA);
}

template <bool (*Test)(const Value&)>
Operand is(Call& c) {
    return Value::ofBoolean(Test(c.scalar(0)));
}
bool blank(const Value& v) {
    return v.isEmpty();
}
bool number(const Value& v) {
    return v.isNumber();
}
bool text(const Value& v) {
    return v.isText();
}
bool nonText(const Value& v) {
    return !v.isText();
}
bool logicalValue(const Value& v) {
    return v.isBoolean();
}
bool error(const Value& v) {
    return v.isError();
}
bool errorButNa(const Value& v) {
    return v.isError() && v.code != err::kNA;
}
bool notAvailable(const Value& v) {
    return v.isError() && v.code == err::kNA;
}

Operand isRef(Call& c) {
    return Value::ofBoolean(c.arg(0).isReference());
}

template <bool Odd>
Operand parity(Call& c) {
    const double n = std::trunc(c.number(0));
    return Value::ofBoolean((std::fmod(std::fabs(n), 2) == 1) == Odd);
}

Operand type(Call& c) {
    if (c.arg(0).isArray())
        return Value::ofNumber(64);
    const Value v = c.scalar(0);
    switch (v.kind) {
        case Value::Kind::Text: return Value::ofNumber(2);
        case Value::Kind::Boolean: return Value::ofNumber(4);
        case Value::Kind::Error: return Value::ofNumber(16);
        default: return Value::ofNumber(1);
    }
}

Operand errorType(Call& c) {
    const Value v = c.scalar(0);
    if (!v.isError())
        throw ErrorResult{err::kNA};
    switch (v.code) {
        case err::kNull: return Value::ofNumber(1);
        case err::kDiv0: return Value::ofNumber(2);
        case err::kValue: return Value::ofNumber(3);
        case err::kRef: return Value::ofNumber(4);
        case err::kName: return Value::ofNumber(5);
        case err::kNum: return Value::ofNumber(6);
        default: return Value::ofNumber(7);
    }
}

// N and T take a reference's first cell.
Value first(Call& c) {
    const Operand& o = c.arg(0);
    if (o.isReference()) {
        const Area& a = o.areas.front();
        return c.ctx.cells.get(a.sheet, a.row, a.column);
    }
    return c.scalar(0);
}

Operand n(Call& c) {
    const Value v = first(c);
    switch (v.kind) {
        case Value::Kind::Number:
        case Value::Kind::Error: return v;
        case Value::Kind::Boolean: return Value::ofNumber(v.code);
        default: return Value::ofNumber(0);
    }
}

Operand t(Call& c) {
    const Value v = first(c);
    return v.isText() || v.isError() ? v : Value::ofText(QString());
}

}  // namespace

const std::vector<FunctionEntry>& logicFunctions() {
    static const std::vector<FunctionEntry> table = {
        {"IF", ifFn},
        {"IFERROR", ifError},
        {"IFNA", ifNa},
        {"IFS", ifs},
        {"CHOOSE", choose},
        {"AND", andFn},
        {"OR", orFn},
        {"XOR", xorFn},
        {"NOT", notFn},
        {"TRUE", trueFn},
        {"FALSE", falseFn},
        {"NA", na},
        {"ISBLANK", is<blank>},
        {"ISNUMBER", is<number>},
        {"ISTEXT", is<text>},
        {"ISNONTEXT", is<nonText>},
        {"ISLOGICAL", is<logicalValue>},
        {"ISERROR", is<error>},
        {"ISERR", is<errorButNa>},
        {"ISNA", is<notAvailable>},
        {"ISREF", isRef},
        {"ISEVEN", parity<false>},
        {"ISODD", parity<true>},
        {"TYPE", type},
        {"ERROR.TYPE", errorType},
        {"N", n},
        {"T", t},
    };
    return table;
}

}  // namespace velmora::formula
