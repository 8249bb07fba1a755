#include "workbook/formula/call.h"

namespace velmora::formula {

RangeView::RangeView(const Operand& o, const EvalContext& ctx) : ctx_(&ctx) {
    switch (o.kind) {
        case Operand::Kind::Reference: {
            if (o.areas.size() != 1 || o.areas[0].sheet != o.areas[0].lastSheet)
                throw ErrorResult{err::kValue};
            const Area& a = o.areas[0];
            cells_ = &ctx.cells;
            sheet_ = a.sheet;
            row_ = a.row;
            column_ = a.column;
            rows_ = a.rows();
            columns_ = a.columns();
            break;
        }
        case Operand::Kind::Array:
            array_ = o.array.get();
            rows_ = array_->rows;
            columns_ = array_->columns;
            break;
        default:
            single_ = &o.value;
            break;
    }
}

const Value& RangeView::at(int r, int c) const {
    if (single_)
        return *single_;
    if (array_)
        return array_->at(r, c);
    return cells_->get(sheet_, row_ + r, column_ + c);
}

Value intersect(const Operand& ref, const EvalContext& ctx, const Site& site) {
    if (ref.areas.size() != 1)
        return Value::ofError(err::kValue);
    const Area& a = ref.areas[0];
    if (a.sheet != a.lastSheet)
        return Value::ofError(err::kValue);
    if (a.rows() == 1 && a.columns() == 1)
        return ctx.cells.get(a.sheet, a.row, a.column);
    if (a.columns() == 1 && site.row >= a.row && site.row <= a.lastRow)
        return ctx.cells.get(a.sheet, site.row, a.column);
    if (a.rows() == 1 && site.column >= a.column && site.column <= a.lastColumn)
        return ctx.cells.get(a.sheet, a.row, site.column);
    return Value::ofError(err::kValue);
}

Operand toArray(const Operand& ref, const EvalContext& ctx) {
    if (ref.areas.size() != 1 || ref.areas[0].sheet != ref.areas[0].lastSheet)
        return Value::ofError(err::kValue);
    const Area& a = ref.areas[0];
    if (a.isCell())
        return ctx.cells.get(a.sheet, a.row, a.column);
    if (qint64(a.rows()) * a.columns() > 4'000'000)
        throw Unsupported{};
    ctx.charge(qint64(a.rows()) * a.columns());
    Matrix m(a.rows(), a.columns());
    ctx.cells.forEach(a.sheet, a,
                      [&](int r, int c, const Value& v) { m.at(r - a.row, c - a.column) = v; });
    return Operand::matrix(std::move(m));
}

Value scalarOf(const Operand& o, const EvalContext& ctx, const Site& site) {
    switch (o.kind) {
        case Operand::Kind::Reference:
            return intersect(o, ctx, site);
        case Operand::Kind::Array:
            return o.array->rows > 0 && o.array->columns > 0 ? o.array->at(0, 0)
                                                              : Value::ofError(err::kValue);
        default:
            return o.value;
    }
}

bool Call::given(int i) const {
    return i < count_ && !args_[i].missing;
}

Value Call::scalar(int i) const {
    return scalarOf(args_[i], ctx, site);
}

double Call::number(int i) const {
    const Value v = toNumber(scalar(i), ctx.date1904);
    if (v.isError())
        throw ErrorResult{v.code};
    return v.number;
}

double Call::number(int i, double fallback) const {
    return given(i) ? number(i) : fallback;
}

QString Call::text(int i) const {
    const Value v = toText(scalar(i));
    if (v.isError())
        throw ErrorResult{v.code};
    return v.text;
}

bool Call::boolean(int i) const {
    const Value v = toBoolean(scalar(i));
    if (v.isError())
        throw ErrorResult{v.code};
    return v.code != 0;
}

bool Call::boolean(int i, bool fallback) const {
    return given(i) ? boolean(i) : fallback;
}

}  // namespace velmora::formula
