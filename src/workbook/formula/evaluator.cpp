#include "workbook/formula/evaluator.h"

#include "workbook/formula/arrayconstant.h"
#include "workbook/formula/functions.h"
#include "workbook/formula/library.h"
#include "workbook/formula/ptg.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace velmora::formula {

namespace {

// Names refer to names; deeper than this is a loop.
constexpr int kMaxNameDepth = 8;

quint16 at16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}

bool isComparison(quint8 op) {
    return op >= ptg::kLt && op <= ptg::kNe;
}

Value compare(quint8 op, const Value& a, const Value& b) {
    if (a.isError())
        return a;
    if (b.isError())
        return b;
    const int c = compareValues(a, b);
    switch (op) {
        case ptg::kLt: return Value::ofBoolean(c < 0);
        case ptg::kLe: return Value::ofBoolean(c <= 0);
        case ptg::kEq: return Value::ofBoolean(c == 0);
        case ptg::kGe: return Value::ofBoolean(c >= 0);
        case ptg::kGt: return Value::ofBoolean(c > 0);
        default: return Value::ofBoolean(c != 0);
    }
}

Value arithmetic(quint8 op, const Value& a, const Value& b, bool date1904) {
    if (isComparison(op))
        return compare(op, a, b);
    if (op == ptg::kConcat) {
        const Value ta = toText(a);
        if (ta.isError())
            return ta;
        const Value tb = toText(b);
        if (tb.isError())
            return tb;
        if (ta.text.size() + tb.text.size() > 32767)
            return Value::ofError(err::kValue);
        return Value::ofText(ta.text + tb.text);
    }
    const Value na = toNumber(a, date1904);
    if (na.isError())
        return na;
    const Value nb = toNumber(b, date1904);
    if (nb.isError())
        return nb;
    const double x = na.number, y = nb.number;
    switch (op) {
        case ptg::kAdd:
            return Value::ofNumber(addNumbers(x, y));
        case ptg::kSub:
            return Value::ofNumber(addNumbers(x, -y));
        case ptg::kMul:
            return Value::ofNumber(x * y);
        case ptg::kDiv:
            return y == 0 ? Value::ofError(err::kDiv0) : Value::ofNumber(x / y);
        case ptg::kPower:
            if (x == 0 && y == 0)
                return Value::ofError(err::kNum);
            if (x == 0 && y < 0)
                return Value::ofError(err::kDiv0);
            return Value::ofNumber(std::pow(x, y));
        default:
            return Value::ofError(err::kValue);
    }
}

// Element by element over arrays; a one-row or one-column array repeats to
// fill the other's shape, elements past a smaller array are #N/A.
template <typename F>
Operand elementwise(const Operand& a, const Operand& b, F&& f) {
    if (!a.isArray() && !b.isArray())
        return f(a.value, b.value);
    const auto dim = [](const Operand& o, bool rows) {
        return o.isArray() ? (rows ? o.array->rows : o.array->columns) : 1;
    };
    const int rows = std::max(dim(a, true), dim(b, true));
    const int columns = std::max(dim(a, false), dim(b, false));
    const auto element = [](const Operand& o, int r, int c) -> Value {
        if (!o.isArray())
            return o.value;
        const Matrix& m = *o.array;
        const int rr = m.rows == 1 ? 0 : r, cc = m.columns == 1 ? 0 : c;
        return rr < m.rows && cc < m.columns ? m.at(rr, cc) : Value::ofError(err::kNA);
    };
    Matrix out(rows, columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) out.at(r, c) = f(element(a, r, c), element(b, r, c));
    return Operand::matrix(std::move(out));
}

Area normalized(int sheet, int lastSheet, const RefEnd& a, const RefEnd& b) {
    Area area{sheet, lastSheet, std::min(a.row, b.row), std::min(a.column, b.column),
              std::max(a.row, b.row), std::max(a.column, b.column)};
    if (area.sheet > area.lastSheet)
        std::swap(area.sheet, area.lastSheet);
    return area;
}

// IF and CHOOSE pass their branches through, element by element like values.
bool liftsEveryArgument(FunctionImpl impl) {
    static const FunctionImpl ifImpl = functionImplByName(u"IF");
    static const FunctionImpl chooseImpl = functionImplByName(u"CHOOSE");
    return impl == ifImpl || impl == chooseImpl;
}

// TYPE tells an array from a value: it takes an array whole.
bool takesArraysWhole(FunctionImpl impl) {
    static const FunctionImpl typeImpl = functionImplByName(u"TYPE");
    return impl == typeImpl;
}

}  // namespace

ResolvedRef resolveReference(const char* p, const Site& site, const Links& links) {
    DecodedRef d;
    ResolvedRef out;
    if (!decodeReference(p, site, d)) {
        out.error = true;
        return out;
    }
    int first = site.sheet, last = site.sheet;
    if (d.threeD) {
        if (d.externSheet < 0 || size_t(d.externSheet) >= links.externSheets.size()) {
            out.error = true;
            return out;
        }
        const ExternSheet& e = links.externSheets[size_t(d.externSheet)];
        if (e.supbook < 0 || size_t(e.supbook) >= links.supbooks.size() ||
            links.supbooks[size_t(e.supbook)].kind != SupBook::Kind::Self) {
            out.external = true;
            return out;
        }
        first = e.firstSheet;
        last = e.lastSheet;
        if (first < 0 || last < 0 || first >= links.sheets.size() || last >= links.sheets.size()) {
            out.error = true;
            return out;
        }
    }
    out.error = d.error;
    out.area = normalized(first, last, d.first, d.last);
    return out;
}

Operand Evaluator::evaluate(const Expression& e, const Site& site, bool arrayFormula) {
    array_ = arrayFormula;
    stack_.clear();
    Operand result = run(e, site, 0);
    if (arrayFormula) {
        if (result.isReference())
            return toArray(result, ctx_);
        return result;
    }
    return scalarOf(result, ctx_, site);
}

Operand Evaluator::run(const Expression& e, const Site& site, int depth) {
    const size_t base = stack_.size();
    const char* savedExtra = extra_;
    const char* savedExtraEnd = extraEnd_;
    extra_ = e.extra.constData();
    extraEnd_ = extra_ + e.extra.size();
    const char* p = e.tokens.constData();
    const char* const end = p + e.tokens.size();
    while (p < end) {
        const int size = ptg::tokenSize(p, end);
        if (size < 0)
            throw Unsupported{};
        token(p, site, depth);
        p += size;
    }
    extra_ = savedExtra;
    extraEnd_ = savedExtraEnd;
    if (stack_.size() != base + 1)
        throw Unsupported{};
    return pop();
}

Operand Evaluator::pop() {
    if (stack_.empty())
        throw Unsupported{};
    Operand o = std::move(stack_.back());
    stack_.pop_back();
    return o;
}

void Evaluator::push(Operand o, quint8 cls, const Site& site) {
    if (o.isReference()) {
        if (cls == ptg::kClassArray || (cls == ptg::kClassValue && array_)) {
            stack_.push_back(toArray(o, ctx_));
            return;
        }
        if (cls == ptg::kClassValue) {
            stack_.push_back(intersect(o, ctx_, site));
            return;
        }
    }
    stack_.push_back(std::move(o));
}

void Evaluator::token(const char* p, const Site& site, int depth) {
    const quint8 id = quint8(*p);
    const quint8 k = ptg::kind(id);
    const quint8 cls = ptg::operandClass(id);
    if ((id >= ptg::kAdd && id <= ptg::kNe) ) {
        binary(id, site);
        return;
    }
    switch (k) {
        case ptg::kIsect:
        case ptg::kUnion:
        case ptg::kRange:
            binary(id, site);
            return;
        case ptg::kUplus:
        case ptg::kUminus:
        case ptg::kPercent:
            unary(id, site);
            return;
        case ptg::kParen:
            return;
        case ptg::kMissArg: {
            Operand o;
            o.missing = true;
            stack_.push_back(std::move(o));
            return;
        }
        case ptg::kStr:
            stack_.push_back(Value::ofText(ptg::tokenString(p)));
            return;
        case ptg::kErr:
            stack_.push_back(Value::ofError(quint8(p[1])));
            return;
        case ptg::kBool:
            stack_.push_back(Value::ofBoolean(p[1] != 0));
            return;
        case ptg::kInt:
            stack_.push_back(Value::ofNumber(at16(p + 1)));
            return;
        case ptg::kNum:
            stack_.push_back(Value::ofNumber(qFromLittleEndian<double>(p + 1)));
            return;
        case ptg::kAttr: {
            const quint8 kind = quint8(p[1]);
            if (kind & ptg::kAttrSum) {
                static const FunctionImpl sum = functionImplByName(u"SUM");
                Operand arg = pop();
                stack_.push_back(invoke("SUM", functionById(4), sum, &arg, 1, site));
            }
            return;  // jumps are not needed: every argument is evaluated
        }
        case ptg::kArray: {
            Matrix m;
            if (!readArrayConstant(extra_, extraEnd_, m))
                throw Unsupported{};
            stack_.push_back(Operand::matrix(std::move(m)));
            return;
        }
        case ptg::kFunc:
        case ptg::kFuncVar: {
            function(p, site);
            Operand result = pop();
            push(std::move(result), cls, site);
            return;
        }
        case ptg::kName:
            push(name(at16(p + 1), site, depth), cls, site);
            return;
        case ptg::kNameX:
            push(externalName(at16(p + 1), at16(p + 3), site, depth), cls, site);
            return;
        case ptg::kMemArea:
            if (!skipMemAreas(extra_, extraEnd_))
                throw Unsupported{};
            return;
        case ptg::kMemErr:
        case ptg::kMemNoMem:
        case ptg::kMemFunc:
            return;
        case ptg::kRef:
        case ptg::kArea:
        case ptg::kRefN:
        case ptg::kAreaN:
        case ptg::kRef3d:
        case ptg::kArea3d:
        case ptg::kRefErr:
        case ptg::kAreaErr:
        case ptg::kRefErr3d:
        case ptg::kAreaErr3d:
            push(area(p, site), cls, site);
            return;
        default:
            throw Unsupported{};  // tExp, tTbl and tokens the format does not define
    }
}

Operand Evaluator::area(const char* p, const Site& site) {
    const ResolvedRef r = resolveReference(p, site, ctx_.links);
    if (r.external)
        throw Unsupported{};
    if (r.error)
        return Value::ofError(err::kRef);
    return Operand::reference(r.area);
}

Operand Evaluator::name(int index, const Site& site, int depth) {
    if (index < 1 || size_t(index) > ctx_.links.names.size())
        return Value::ofError(err::kName);
    const DefinedName& n = ctx_.links.names[size_t(index - 1)];
    if (n.function) {
        Operand o;
        o.functionName = n.name;
        return o;
    }
    if (n.expression.tokens.isEmpty())
        return Value::ofError(err::kName);
    if (depth >= kMaxNameDepth)
        throw Unsupported{};
    // A name's relative references count from the cell using it.
    Site at = site;
    at.offsets = true;
    return run(n.expression, at, depth + 1);
}

Operand Evaluator::externalName(int externSheet, int index, const Site& site, int depth) {
    const Links& links = ctx_.links;
    if (externSheet < 0 || size_t(externSheet) >= links.externSheets.size())
        return Value::ofError(err::kName);
    const int supbook = links.externSheets[size_t(externSheet)].supbook;
    if (supbook < 0 || size_t(supbook) >= links.supbooks.size())
        return Value::ofError(err::kName);
    const SupBook& book = links.supbooks[size_t(supbook)];
    if (book.kind == SupBook::Kind::Self)
        return name(index, site, depth);
    if (book.kind != SupBook::Kind::AddIn || index < 1 || index > book.names.size())
        throw Unsupported{};
    Operand o;
    o.functionName = book.names[index - 1];
    return o;
}

void Evaluator::binary(quint8 op, const Site& site) {
    Operand b = pop();
    Operand a = pop();
    if (op == ptg::kRange || op == ptg::kUnion || op == ptg::kIsect) {
        if (!a.isReference() || !b.isReference()) {
            stack_.push_back(a.isError() ? a : b.isError() ? b : Operand(Value::ofError(err::kValue)));
            return;
        }
        if (op == ptg::kUnion) {
            a.areas.insert(a.areas.end(), b.areas.begin(), b.areas.end());
            stack_.push_back(std::move(a));
            return;
        }
        if (a.areas.size() != 1 || b.areas.size() != 1) {
            stack_.push_back(Value::ofError(err::kValue));
            return;
        }
        const Area& x = a.areas[0];
        const Area& y = b.areas[0];
        if (x.sheet != y.sheet || x.lastSheet != y.lastSheet) {
            stack_.push_back(Value::ofError(err::kValue));
            return;
        }
        Area r = x;
        if (op == ptg::kRange) {
            r.row = std::min(x.row, y.row);
            r.column = std::min(x.column, y.column);
            r.lastRow = std::max(x.lastRow, y.lastRow);
            r.lastColumn = std::max(x.lastColumn, y.lastColumn);
        } else {
            r.row = std::max(x.row, y.row);
            r.column = std::max(x.column, y.column);
            r.lastRow = std::min(x.lastRow, y.lastRow);
            r.lastColumn = std::min(x.lastColumn, y.lastColumn);
            if (r.row > r.lastRow || r.column > r.lastColumn) {
                stack_.push_back(Value::ofError(err::kNull));
                return;
            }
        }
        stack_.push_back(Operand::reference(r));
        return;
    }
    // Operators take values: references give theirs as value-class tokens do.
    const auto value = [&](Operand& o) {
        if (o.isReference())
            o = array_ ? toArray(o, ctx_) : Operand(intersect(o, ctx_, site));
    };
    value(a);
    value(b);
    const bool d1904 = ctx_.date1904;
    stack_.push_back(elementwise(
        a, b, [&](const Value& x, const Value& y) { return arithmetic(op, x, y, d1904); }));
}

void Evaluator::unary(quint8 op, const Site& site) {
    Operand a = pop();
    if (a.isReference())
        a = array_ ? toArray(a, ctx_) : Operand(intersect(a, ctx_, site));
    const bool d1904 = ctx_.date1904;
    stack_.push_back(elementwise(a, Operand(Value()), [&](const Value& x, const Value&) {
        if (op == ptg::kUplus)
            return x;
        const Value n = toNumber(x, d1904);
        if (n.isError())
            return n;
        return Value::ofNumber(op == ptg::kUminus ? -n.number : n.number / 100);
    }));
}

void Evaluator::function(const char* p, const Site& site) {
    const quint8 k = ptg::kind(quint8(*p));
    int count = 0, id = 0;
    const FunctionInfo* info = nullptr;
    if (k == ptg::kFunc) {
        id = at16(p + 1);
        info = functionById(id);
        if (!info)
            throw Unsupported{};
        count = info->minArgs;
    } else {
        count = quint8(p[1]) & 0x7F;
        id = at16(p + 2) & 0x7FFF;
    }
    if (size_t(count) > stack_.size())
        throw Unsupported{};
    Operand* args = stack_.data() + (stack_.size() - size_t(count));
    FunctionImpl impl = nullptr;
    QByteArray name;
    if (id == ptg::kUserFunction) {
        // The first argument names the function.
        if (count < 1 || args[0].functionName.isEmpty())
            throw Unsupported{};
        impl = functionImplByName(args[0].functionName);
        info = functionByName(args[0].functionName);
        name = args[0].functionName.toLatin1();
        ++args;
        --count;
    } else {
        impl = functionImpl(id);
        info = functionById(id);
        name = info ? QByteArray(info->name) : QByteArray();
    }
    if (!impl)
        throw Unsupported{};
    Operand result = invoke(name.constData(), info, impl, args, count, site);
    stack_.resize(stack_.size() - size_t(count) - (id == ptg::kUserFunction ? 1 : 0));
    stack_.push_back(std::move(result));
}

Operand Evaluator::invoke(const char*, const FunctionInfo* info, FunctionImpl impl, Operand* args,
                          int count, const Site& site) {
    // Value arguments given an array make the call work element by element.
    const bool all = liftsEveryArgument(impl);
    const bool whole = takesArraysWhole(impl);
    const auto lifted = [&](int i) {
        return info && !whole && (all || info->argClass(i) == 'V') && args[i].isArray();
    };
    int rows = 0, columns = 0;
    for (int i = 0; i < count; ++i)
        if (lifted(i)) {
            rows = std::max(rows, args[i].array->rows);
            columns = std::max(columns, args[i].array->columns);
        }
    const auto call = [&](Operand* a) -> Operand {
        Call c(ctx_, site, a, count, array_);
        try {
            return impl(c);
        } catch (const ErrorResult& e) {
            return Value::ofError(e.code);
        }
    };
    if (rows == 0)
        return call(args);
    ctx_.charge(qint64(rows) * columns);
    Matrix out(rows, columns);
    std::vector<Operand> element(args, args + count);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            bool outside = false;
            for (int i = 0; i < count; ++i) {
                if (!lifted(i))
                    continue;
                const Matrix& m = *args[i].array;
                const int rr = m.rows == 1 ? 0 : r, cc = m.columns == 1 ? 0 : c;
                if (rr >= m.rows || cc >= m.columns)
                    outside = true;
                else
                    element[size_t(i)] = Operand(m.at(rr, cc));
            }
            out.at(r, c) = outside ? Value::ofError(err::kNA)
                                   : scalarOf(call(element.data()), ctx_, site);
        }
    }
    return Operand::matrix(std::move(out));
}

}  // namespace velmora::formula
