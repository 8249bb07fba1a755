#pragma once

#include "workbook/formula/cellstore.h"
#include "workbook/formula/links.h"
#include "workbook/formula/references.h"
#include "workbook/formula/value.h"

#include <QString>

// A function call as a function of the library sees it: its arguments as
// the evaluator left them (values, references, arrays) and helpers that
// convert them as Excel does.
namespace velmora::formula {

// Thrown by a function or a helper: the call's result is this error value.
struct ErrorResult {
    quint8 code;
};
// Thrown where the engine cannot compute a result (an unsupported case of a
// function): the formula keeps the result cached in the file.
struct Unsupported {};

struct EvalContext {
    const CellStore& cells;
    const Links& links;
    bool date1904 = false;
    // Cells looked at so far, against a limit: hostile files (a thousand sums
    // over whole sheets) end as not computed instead of running for hours.
    mutable qint64 work = 0;
    qint64 workLimit = 200'000'000;

    void charge(qint64 cells) const {
        work += cells;
        if (work > workLimit)
            throw Unsupported{};
    }
};

// A rectangle of values to look into by position: a reference's area, an
// array, or a single value as a 1 x 1 rectangle.
class RangeView {
public:
    RangeView(const Operand& o, const EvalContext& ctx);  // throws ErrorResult for unions
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    const Value& at(int r, int c) const;
    bool isReference() const { return array_ == nullptr && single_ == nullptr; }
    // Calls f(r, c, value) for every non-empty value, row and column
    // counted from the rectangle's corner.
    template <typename F>
    void forEach(F&& f) const {
        if (single_) {
            if (!single_->isEmpty())
                f(0, 0, *single_);
        } else if (array_) {
            for (int r = 0; r < rows_; ++r)
                for (int c = 0; c < columns_; ++c)
                    if (!array_->at(r, c).isEmpty())
                        f(r, c, array_->at(r, c));
        } else {
            ctx_->charge(1 + cells_->forEach(
                                 sheet_,
                                 Area{sheet_, sheet_, row_, column_, row_ + rows_ - 1,
                                      column_ + columns_ - 1},
                                 [&](int r, int c, const Value& v) { f(r - row_, c - column_, v); }));
        }
    }
    // The rectangle's first cell, for a reference.
    int sheet() const { return sheet_; }
    int row() const { return row_; }
    int column() const { return column_; }

private:
    const EvalContext* ctx_ = nullptr;
    const CellStore* cells_ = nullptr;
    const Matrix* array_ = nullptr;
    const Value* single_ = nullptr;
    int sheet_ = 0, row_ = 0, column_ = 0, rows_ = 1, columns_ = 1;
};

class Call {
public:
    Call(const EvalContext& ctx, const Site& site, Operand* args, int count, bool array)
        : ctx(ctx), site(site), args_(args), count_(count), array_(array) {}

    const EvalContext& ctx;
    const Site& site;

    int count() const { return count_; }
    Operand& arg(int i) { return args_[i]; }
    const Operand& arg(int i) const { return args_[i]; }
    // False for an argument left out, at the end or between commas.
    bool given(int i) const;

    // One value: a reference's cell where the formula's row or column
    // crosses it, an array's first element. Errors come back as values.
    Value scalar(int i) const;
    // Converted as Excel converts; errors are thrown (ErrorResult).
    double number(int i) const;
    double number(int i, double fallback) const;  // fallback when not given
    QString text(int i) const;
    bool boolean(int i) const;
    bool boolean(int i, bool fallback) const;
    RangeView range(int i) const { return RangeView(args_[i], ctx); }

    bool inArrayFormula() const { return array_; }

private:
    Operand* args_;
    int count_;
    bool array_;
};

// The value a reference gives where one value is wanted: its only cell, or
// the cell in the formula's own row (for a column) or column (for a row).
Value intersect(const Operand& ref, const EvalContext& ctx, const Site& site);
// A reference as an array of its values (one area on one sheet).
Operand toArray(const Operand& ref, const EvalContext& ctx);
// One value from any operand, as Call::scalar gives it.
Value scalarOf(const Operand& o, const EvalContext& ctx, const Site& site);

using FunctionImpl = Operand (*)(Call&);

}  // namespace velmora::formula
