#include "workbook/formula/calculation.h"

#include "workbook/formula/evaluator.h"

#include <algorithm>

namespace velmora::formula {

Calculation::Calculation(const Links& links, bool date1904)
    : links_(links), date1904_(date1904) {
    cells_.setSheetCount(int(links.sheets.size()));
}

void Calculation::setFormula(const Expression& e, const Site& site, const Area& range, bool array,
                             std::vector<Value> cached) {
    for (int r = range.row; r <= range.lastRow; ++r)
        for (int c = range.column; c <= range.lastColumn; ++c)
            if (const int old = graph_.formulaAt(range.sheet, r, c); old >= 0)
                remove(old);
    const int id = int(formulas_.size());
    Formula f;
    f.expression = e;
    f.site = site;
    f.range = range;
    f.array = array;
    f.facts = analyse(e, site, links_);
    f.cached = std::move(cached);
    f.cached.resize(size_t(range.rows()) * size_t(range.columns()));
    graph_.addFormula(id, range, f.facts.precedents);
    volatileClosure_.clear();
    if (f.facts.isVolatile)
        volatiles_.push_back(id);
    formulas_.push_back(std::move(f));
    restoreCached(formulas_.back());
    pendingFormulas_.push_back(id);
}

void Calculation::remove(int id) {
    Formula& f = formulas_[size_t(id)];
    graph_.removeFormula(id);
    volatileClosure_.clear();
    f.alive = false;
    f.expression = Expression();
    f.cached.clear();
    std::erase(volatiles_, id);
}

void Calculation::setValue(int sheet, int row, int column, Value v) {
    if (const int id = graph_.formulaAt(sheet, row, column); id >= 0)
        remove(id);
    cells_.set(sheet, row, column, std::move(v));
    pending_.push_back({sheet, row, column});
}

bool Calculation::isFormula(int sheet, int row, int column) const {
    return graph_.formulaAt(sheet, row, column) >= 0;
}

bool Calculation::isComputed(int sheet, int row, int column) const {
    const int id = graph_.formulaAt(sheet, row, column);
    return id >= 0 && formulas_[size_t(id)].computed;
}

bool Calculation::isVolatile(int sheet, int row, int column) {
    const int id = graph_.formulaAt(sheet, row, column);
    if (id < 0)
        return false;
    if (volatileClosure_.size() != formulas_.size()) {
        volatileClosure_.assign(formulas_.size(), 0);
        std::vector<int> queue = volatiles_;
        for (int v : queue) volatileClosure_[size_t(v)] = 1;
        for (size_t i = 0; i < queue.size(); ++i) {
            const Area& r = formulas_[size_t(queue[i])].range;
            for (int rr = r.row; rr <= r.lastRow; ++rr)
                for (int c = r.column; c <= r.lastColumn; ++c)
                    graph_.forEachReader(r.sheet, rr, c, [&](int reader) {
                        if (!volatileClosure_[size_t(reader)] && formulas_[size_t(reader)].alive) {
                            volatileClosure_[size_t(reader)] = 1;
                            queue.push_back(reader);
                        }
                    });
        }
    }
    return volatileClosure_[size_t(id)];
}

void Calculation::restoreCached(Formula& f) {
    const Area& r = f.range;
    size_t i = 0;
    for (int row = r.row; row <= r.lastRow; ++row)
        for (int c = r.column; c <= r.lastColumn; ++c) write(r.sheet, row, c, f.cached[i++]);
}

void Calculation::write(int sheet, int row, int column, Value v) {
    if (cells_.get(sheet, row, column).same(v))
        return;
    cells_.set(sheet, row, column, std::move(v));
    changed_.push_back({sheet, row, column});
}

void Calculation::recalculateAll() {
    pending_.clear();
    pendingFormulas_.clear();
    std::vector<int> all;
    std::vector<char> wanted(formulas_.size(), 0);
    for (size_t i = 0; i < formulas_.size(); ++i)
        if (formulas_[i].alive) {
            all.push_back(int(i));
            wanted[i] = 1;
        }
    std::vector<int> order, circular;
    graph_.order(all, wanted, order, circular);
    evaluate(order, circular);
}

void Calculation::recalculate() {
    if (pending_.empty() && pendingFormulas_.empty())
        return;
    // Everything reading a written cell, and what reads those, transitively.
    std::vector<char> dirty(formulas_.size(), 0);
    std::vector<int> roots;
    const auto mark = [&](int id) {
        if (!dirty[size_t(id)] && formulas_[size_t(id)].alive) {
            dirty[size_t(id)] = 1;
            roots.push_back(id);
        }
    };
    for (int id : pendingFormulas_) mark(id);
    for (int id : volatiles_) mark(id);
    std::vector<std::array<int, 3>> cells = std::move(pending_);
    pending_.clear();
    pendingFormulas_.clear();
    for (int id : roots) {
        const Area& r = formulas_[size_t(id)].range;
        for (int row = r.row; row <= r.lastRow; ++row)
            for (int c = r.column; c <= r.lastColumn; ++c) cells.push_back({r.sheet, row, c});
    }
    for (size_t i = 0; i < cells.size(); ++i) {
        const auto [sheet, row, column] = cells[i];
        graph_.forEachReader(sheet, row, column, [&](int id) {
            if (dirty[size_t(id)] || !formulas_[size_t(id)].alive)
                return;
            mark(id);
            const Area& r = formulas_[size_t(id)].range;
            for (int rr = r.row; rr <= r.lastRow; ++rr)
                for (int c = r.column; c <= r.lastColumn; ++c) cells.push_back({r.sheet, rr, c});
        });
    }
    std::vector<int> order, circular;
    graph_.order(roots, dirty, order, circular);
    evaluate(order, circular);
}

void Calculation::evaluate(const std::vector<int>& order, const std::vector<int>& circular) {
    std::vector<char> inLoop(formulas_.size(), 0);
    for (int id : circular) inLoop[size_t(id)] = 1;
    EvalContext ctx{cells_, links_, date1904_};
    Evaluator evaluator(ctx);
    const auto run = [&](int id) {
        Formula& f = formulas_[size_t(id)];
        if (!f.alive)
            return;
        if (!f.facts.computable || inLoop[size_t(id)]) {
            f.computed = false;
            restoreCached(f);
            return;
        }
        try {
            store(f, id, evaluator.evaluate(f.expression, f.site, f.array));
            f.computed = true;
        } catch (const Unsupported&) {
            f.computed = false;
            restoreCached(f);
        }
    };
    for (int id : order) run(id);
}

void Calculation::store(Formula& f, int, const Operand& result) {
    // An empty result (a reference to an empty cell) is 0, as in a cell.
    const auto cellValue = [](Value v) { return v.isEmpty() ? Value::ofNumber(0) : v; };
    const Area& r = f.range;
    if (!f.array) {
        write(r.sheet, r.row, r.column, cellValue(result.value));
        return;
    }
    for (int row = r.row; row <= r.lastRow; ++row) {
        for (int c = r.column; c <= r.lastColumn; ++c) {
            Value v;
            if (result.isArray()) {
                const Matrix& m = *result.array;
                const int i = m.rows == 1 ? 0 : row - r.row, j = m.columns == 1 ? 0 : c - r.column;
                v = i < m.rows && j < m.columns ? m.at(i, j) : Value::ofError(err::kNA);
            } else {
                v = result.value;
            }
            write(r.sheet, row, c, cellValue(v));
        }
    }
}

std::vector<std::array<int, 3>> Calculation::takeChanged() {
    std::vector<std::array<int, 3>> out;
    out.swap(changed_);
    return out;
}

}  // namespace velmora::formula
