#pragma once

#include "workbook/formula/analysis.h"
#include "workbook/formula/cellstore.h"
#include "workbook/formula/dependencies.h"
#include "workbook/formula/links.h"

#include <array>
#include <vector>

// The calculation of a workbook: every cell's value, every formula with what
// it reads, and recalculation, in full or of what depends on the cells
// written since. A formula the engine cannot compute (an unsupported
// function, another workbook's cells, a circular reference) keeps the result
// it was given, and is marked as not computed.
namespace velmora::formula {

class Calculation {
public:
    Calculation(const Links& links, bool date1904);

    CellStore& cells() { return cells_; }
    const CellStore& cells() const { return cells_; }

    // Puts a formula into its cell (or, for an array formula, its range),
    // replacing what was there; cached holds the results it had, row by row.
    void setFormula(const Expression& e, const Site& site, const Area& range, bool array,
                    std::vector<Value> cached);
    // A value written into a cell: a formula there goes, what reads the cell
    // is recomputed at the next recalculation.
    void setValue(int sheet, int row, int column, Value v);

    bool isFormula(int sheet, int row, int column) const;
    // True for a formula cell whose value the engine computed.
    bool isComputed(int sheet, int row, int column) const;
    // True for a formula cell recomputed on every change: one calling TODAY,
    // NOW, RAND ... or reading such a cell, directly or through others.
    bool isVolatile(int sheet, int row, int column);

    void recalculateAll();
    // Recomputes what depends on the cells written since the last time.
    void recalculate();
    bool needsRecalculation() const { return !pending_.empty() || !pendingFormulas_.empty(); }
    // The cells and formulas set so far hold what they should: nothing to
    // recompute for them (after loading a workbook with its results).
    void forgetWrites() {
        pending_.clear();
        pendingFormulas_.clear();
    }
    // The cells whose values a recalculation changed since the last call.
    std::vector<std::array<int, 3>> takeChanged();

private:
    struct Formula {
        Expression expression;
        Site site;
        Area range;
        bool array = false;
        FormulaFacts facts;
        std::vector<Value> cached;
        bool computed = false;
        bool alive = true;
    };

    void remove(int id);
    void evaluate(const std::vector<int>& order, const std::vector<int>& circular);
    void store(Formula& f, int id, const Operand& result);
    void restoreCached(Formula& f);
    void write(int sheet, int row, int column, Value v);

    const Links& links_;
    bool date1904_;
    CellStore cells_;
    std::vector<Formula> formulas_;
    std::vector<int> volatiles_;
    DependencyGraph graph_;
    std::vector<std::array<int, 3>> pending_;  // cells written since the last recalculation
    std::vector<int> pendingFormulas_;         // formulas set since then
    std::vector<std::array<int, 3>> changed_;
    std::vector<char> volatileClosure_;  // by formula; empty when it needs working out
};

}  // namespace velmora::formula
