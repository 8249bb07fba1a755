// Functions over the cells that meet criteria: COUNTIF, SUMIF, AVERAGEIF and
// their ...IFS forms, MAXIFS, MINIFS, and the database functions (DSUM, DGET
// ...) whose criteria are a range of labels and conditions.
#include "workbook/formula/criteria.h"
#include "workbook/formula/library.h"

#include <cmath>

namespace velmora::formula {

namespace {

Operand number(double x) {
    return Value::ofNumber(x);
}

struct Conditions {
    std::vector<RangeView> ranges;
    std::vector<Criterion> criteria;
};

// How many rows of a range can hold anything: a whole column's empty tail
// is left out.
int usedRows(const RangeView& r, const EvalContext& ctx) {
    if (!r.isReference())
        return r.rows();
    const int last = ctx.cells.lastUsedRow(
        r.sheet(), Area{r.sheet(), r.sheet(), r.row(), r.column(), r.row() + r.rows() - 1,
                        r.column() + r.columns() - 1});
    return std::min(r.rows(), last - r.row() + 1);
}

// Calls f(r, c) for each place where every range meets its criterion.
// rows bounds the places where empty cells could matter.
template <typename F>
void forEachMatch(const Call& call, const Conditions& k, int rows, F&& f) {
    const RangeView& first = k.ranges[0];
    const auto all = [&](int r, int c) {
        for (size_t i = 1; i < k.ranges.size(); ++i)
            if (!k.criteria[i].matches(k.ranges[i].at(r, c)))
                return false;
        return true;
    };
    if (!k.criteria[0].matches(Value())) {
        first.forEach([&](int r, int c, const Value& v) {
            if (k.criteria[0].matches(v) && all(r, c))
                f(r, c);
        });
        return;
    }
    int bound = 0;
    for (const RangeView& r : k.ranges) bound = std::max(bound, usedRows(r, call.ctx));
    bound = std::min(std::max(bound, rows), first.rows());
    call.ctx.charge(qint64(bound) * first.columns());
    for (int r = 0; r < bound; ++r)
        for (int c = 0; c < first.columns(); ++c)
            if (k.criteria[0].matches(first.at(r, c)) && all(r, c))
                f(r, c);
}

Conditions conditions(const Call& c, int from) {
    Conditions k;
    for (int i = from; i + 1 < c.count(); i += 2) {
        k.ranges.push_back(c.range(i));
        const Value v = c.scalar(i + 1);
        k.criteria.emplace_back(v, c.ctx.date1904);
        if (k.ranges.back().rows() != k.ranges[0].rows() ||
            k.ranges.back().columns() != k.ranges[0].columns())
            throw ErrorResult{err::kValue};
    }
    return k;
}

// The range whose numbers are summed or averaged: the shape of the
// criteria range, from the given range's first cell.
Operand target(const Call& c, int i, const RangeView& shape) {
    const Operand& o = c.arg(i);
    if (!o.isReference() || o.areas.size() != 1)
        return o;
    Area a = o.areas[0];
    a.lastRow = std::min(a.row + shape.rows() - 1, kMaxRow);
    a.lastColumn = std::min(a.column + shape.columns() - 1, kMaxColumn);
    return Operand::reference(a);
}

Operand countIfs(Call& c) {
    if (c.count() % 2)
        throw ErrorResult{err::kValue};
    const Conditions k = conditions(c, 0);
    double n = 0;
    forEachMatch(c, k, k.ranges[0].rows(), [&](int, int) { ++n; });
    return number(n);
}

// Sums, averages and extremes over the numbers of a range where the
// criteria hold. F gets each number; returns the result.
template <typename F>
void over(Call& c, const Operand& values, const Conditions& k, F&& f) {
    const RangeView v(values, c.ctx);
    forEachMatch(c, k, usedRows(v, c.ctx), [&](int r, int col) {
        const Value& x = r < v.rows() && col < v.columns() ? v.at(r, col) : Value();
        if (x.isError())
            throw ErrorResult{x.code};
        if (x.isNumber())
            f(x.number);
    });
}

enum class Result { Sum, Average, Max, Min };

template <Result R>
Operand finish(double total, double n, double best) {
    switch (R) {
        case Result::Sum:
            return number(total);
        case Result::Average:
            if (n == 0)
                throw ErrorResult{err::kDiv0};
            return number(total / n);
        default:
            return number(n == 0 ? 0 : best);
    }
}

template <Result R>
void add(double x, double& total, double& n, double& best) {
    total = addNumbers(total, x);
    if (n == 0 || (R == Result::Max ? x > best : x < best))
        best = x;
    ++n;
}

// SUMIF and AVERAGEIF: range, criterion, values (the range itself when left out).
template <Result R>
Operand ifFn(Call& c) {
    Conditions k;
    k.ranges.push_back(c.range(0));
    k.criteria.emplace_back(c.scalar(1), c.ctx.date1904);
    const Operand values = c.given(2) ? target(c, 2, k.ranges[0]) : c.arg(0);
    double total = 0, n = 0, best = 0;
    over(c, values, k, [&](double x) { add<R>(x, total, n, best); });
    return finish<R>(total, n, best);
}

// SUMIFS, AVERAGEIFS, MAXIFS, MINIFS: values first, then range and criterion pairs.
template <Result R>
Operand ifsFn(Call& c) {
    if (c.count() % 2 == 0)
        throw ErrorResult{err::kValue};
    const Conditions k = conditions(c, 1);
    const RangeView values = c.range(0);
    if (values.rows() != k.ranges[0].rows() || values.columns() != k.ranges[0].columns())
        throw ErrorResult{err::kValue};
    double total = 0, n = 0, best = 0;
    over(c, c.arg(0), k, [&](double x) { add<R>(x, total, n, best); });
    return finish<R>(total, n, best);
}

// The database functions: a table with labels in its first row, a field
// (label or 1-based column), and criteria: labels over rows of conditions,
// a record qualifying when all conditions of any one row hold.
struct Database {
    RangeView table;
    int field = -1;
    std::vector<std::vector<std::pair<int, Criterion>>> rows;  // per criteria row: column, condition
};

// A field by its 1-based place, or by its label (a label may be a number,
// named by its text).
int column(const RangeView& table, const Value& label, bool byPlace) {
    if (label.isNumber() && byPlace) {
        const int i = int(std::trunc(label.number)) - 1;
        return i >= 0 && i < table.columns() ? i : -1;
    }
    const Value name = toText(label);
    if (name.isError() || name.text.trimmed().isEmpty())
        return -1;
    for (int c = 0; c < table.columns(); ++c) {
        const Value heading = toText(table.at(0, c));
        if (!heading.isError() &&
            heading.text.trimmed().compare(name.text.trimmed(), Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

Database database(Call& c, bool needField) {
    Database db{c.range(0), -1, {}};
    if (needField || c.given(1)) {
        db.field = column(db.table, c.scalar(1), true);
        if (db.field < 0)
            throw ErrorResult{err::kValue};
    }
    const RangeView criteria = c.range(2);
    if (criteria.rows() < 2)
        throw ErrorResult{err::kValue};
    std::vector<int> columns;
    for (int col = 0; col < criteria.columns(); ++col) {
        const Value& label = criteria.at(0, col);
        columns.push_back(label.isEmpty() ? -1 : column(db.table, label, false));
    }
    for (int r = 1; r < criteria.rows(); ++r) {
        std::vector<std::pair<int, Criterion>> row;
        for (int col = 0; col < criteria.columns(); ++col) {
            const Value& v = criteria.at(r, col);
            if (v.isEmpty())
                continue;
            // A label no column has: a computed criterion, not computed here.
            if (columns[size_t(col)] < 0)
                throw Unsupported{};
            row.emplace_back(columns[size_t(col)],
                             Criterion(v, c.ctx.date1904, Criterion::Text::Prefix));
        }
        db.rows.push_back(std::move(row));
    }
    return db;
}

template <typename F>
void forEachRecord(const Database& db, F&& f) {
    for (int r = 1; r < db.table.rows(); ++r) {
        for (const auto& conditions : db.rows) {
            bool all = true;
            for (const auto& [col, criterion] : conditions)
                if (!criterion.matches(db.table.at(r, col))) {
                    all = false;
                    break;
                }
            if (all) {
                f(r);
                break;
            }
        }
    }
}

std::vector<double> fieldNumbers(Call& c) {
    const Database db = database(c, true);
    std::vector<double> out;
    forEachRecord(db, [&](int r) {
        const Value& v = db.table.at(r, db.field);
        if (v.isNumber())
            out.push_back(v.number);
    });
    return out;
}

Operand dCount(Call& c) {
    const Database db = database(c, false);
    double n = 0;
    forEachRecord(db, [&](int r) {
        if (db.field < 0 || db.table.at(r, db.field).isNumber())
            ++n;
    });
    return number(n);
}

Operand dCountA(Call& c) {
    const Database db = database(c, false);
    double n = 0;
    forEachRecord(db, [&](int r) {
        if (db.field < 0 || !db.table.at(r, db.field).isEmpty())
            ++n;
    });
    return number(n);
}

// The one field value of the records that qualify; records whose field is
// empty do not count.
Operand dGet(Call& c) {
    const Database db = database(c, true);
    int found = -1, matches = 0;
    forEachRecord(db, [&](int r) {
        if (db.table.at(r, db.field).isEmpty())
            return;
        if (matches++ == 0)
            found = r;
    });
    if (matches == 0)
        throw ErrorResult{err::kValue};
    if (matches > 1)
        throw ErrorResult{err::kNum};
    return db.table.at(found, db.field);
}

enum class Summary { Sum, Average, Max, Min, Product, StDev, StDevP, Var, VarP };

template <Summary S>
Operand dSummary(Call& c) {
    const std::vector<double> v = fieldNumbers(c);
    const double n = double(v.size());
    double total = 0, product = 1;
    for (double x : v) {
        total += x;
        product *= x;
    }
    switch (S) {
        case Summary::Sum:
            return number(total);
        case Summary::Product:
            return number(v.empty() ? 0 : product);
        case Summary::Max:
            return number(v.empty() ? 0 : *std::max_element(v.begin(), v.end()));
        case Summary::Min:
            return number(v.empty() ? 0 : *std::min_element(v.begin(), v.end()));
        case Summary::Average:
            if (v.empty())
                throw ErrorResult{err::kDiv0};
            return number(total / n);
        default: {
            const bool sample = S == Summary::StDev || S == Summary::Var;
            if (n < (sample ? 2 : 1))
                throw ErrorResult{err::kDiv0};
            double s = 0;
            for (double x : v) s += (x - total / n) * (x - total / n);
            const double var = s / (n - (sample ? 1 : 0));
            return number(S == Summary::StDev || S == Summary::StDevP ? std::sqrt(var) : var);
        }
    }
}

}  // namespace

const std::vector<FunctionEntry>& conditionalFunctions() {
    static const std::vector<FunctionEntry> table = {
        {"COUNTIF", countIfs},
        {"COUNTIFS", countIfs},
        {"SUMIF", ifFn<Result::Sum>},
        {"AVERAGEIF", ifFn<Result::Average>},
        {"SUMIFS", ifsFn<Result::Sum>},
        {"AVERAGEIFS", ifsFn<Result::Average>},
        {"MAXIFS", ifsFn<Result::Max>},
        {"MINIFS", ifsFn<Result::Min>},
        {"DCOUNT", dCount},
        {"DCOUNTA", dCountA},
        {"DGET", dGet},
        {"DSUM", dSummary<Summary::Sum>},
        {"DAVERAGE", dSummary<Summary::Average>},
        {"DMAX", dSummary<Summary::Max>},
        {"DMIN", dSummary<Summary::Min>},
        {"DPRODUCT", dSummary<Summary::Product>},
        {"DSTDEV", dSummary<Summary::StDev>},
        {"DSTDEVP", dSummary<Summary::StDevP>},
        {"DVAR", dSummary<Summary::Var>},
        {"DVARP", dSummary<Summary::VarP>},
    };
    return table;
}

}  // namespace velmora::formula
