#pragma once

#include "workbook/formula/value.h"

#include <QHash>
#include <unordered_map>
#include <vector>

// Which formulas read which cells, and an order to compute them in: every
// formula after the formulas whose cells it reads. A range read by many
// formulas (RANK's $E$2:$E$61) is one node of the graph between them, so
// that the edges stay as many as the ranges, not as the cells inside them.
namespace velmora::formula {

// A cell of the workbook as one number: sheet, row, column.
inline quint64 cellKey(int sheet, int row, int column) {
    return quint64(quint32(sheet)) << 24 | quint64(quint32(row)) << 8 | quint64(quint32(column));
}

class DependencyGraph {
public:
    // Formula ids are the caller's; each formula fills the cells of one area
    // (a single cell, or an array formula's range).
    void addFormula(int id, const Area& output, const std::vector<Area>& precedents);
    void removeFormula(int id);

    // The formula whose output holds the cell, or -1.
    int formulaAt(int sheet, int row, int column) const;
    // Formulas reading the cell.
    template <typename F>
    void forEachReader(int sheet, int row, int column, F&& f) const;

    // Orders the formulas among `wanted` that the roots depend on, roots
    // included, so that each comes after the formulas it reads. Formulas
    // reading themselves through others are left out and reported in
    // circular.
    void order(const std::vector<int>& roots, const std::vector<char>& wanted,
               std::vector<int>& out, std::vector<int>& circular);

private:
    struct Formula {
        Area output;
        std::vector<quint64> cells;  // precedents of one cell
        std::vector<int> ranges;  // range nodes
        bool alive = false;
    };
    struct Range {
        Area area;
        std::vector<int> readers;
        std::vector<int> formulas;  // formulas whose output lies inside, when known
        quint64 knownAt = 0;        // the formulas' generation they were found in
    };
    struct AreaKey {
        Area a;
        friend bool operator==(const AreaKey& x, const AreaKey& y) {
            return x.a.sheet == y.a.sheet && x.a.lastSheet == y.a.lastSheet && x.a.row == y.a.row &&
                   x.a.column == y.a.column && x.a.lastRow == y.a.lastRow &&
                   x.a.lastColumn == y.a.lastColumn;
        }
        friend size_t qHash(const AreaKey& k, size_t seed = 0) {
            return qHashMulti(seed, k.a.sheet, k.a.lastSheet, k.a.row, k.a.column, k.a.lastRow,
                              k.a.lastColumn);
        }
    };

    int rangeFor(const Area& a);
    const std::vector<int>& formulasIn(Range& r);
    template <typename F>
    void forEachRangeHolding(int sheet, int row, int column, F&& f) const;

    std::vector<Formula> formulas_;
    std::vector<Range> ranges_;
    quint64 generation_ = 1;  // counts changes to the set of formulas
    QHash<AreaKey, int> rangeIndex_;
    std::vector<std::vector<std::vector<int>>> rangesByColumn_;  // sheet, column -> ranges
    std::unordered_map<quint64, int> outputAt_;                  // cell -> formula
    std::unordered_map<quint64, std::vector<int>> cellReaders_;  // cell -> formulas
    // Sheet, column -> rows holding a formula's output, sorted.
    std::vector<std::vector<std::vector<int>>> outputRows_;
};

template <typename F>
void DependencyGraph::forEachRangeHolding(int sheet, int row, int column, F&& f) const {
    if (sheet < 0 || size_t(sheet) >= rangesByColumn_.size())
        return;
    const auto& columns = rangesByColumn_[size_t(sheet)];
    if (column < 0 || size_t(column) >= columns.size())
        return;
    for (int r : columns[size_t(column)]) {
        const Area& a = ranges_[size_t(r)].area;
        if (row >= a.row && row <= a.lastRow)
            f(r);
    }
}

template <typename F>
void DependencyGraph::forEachReader(int sheet, int row, int column, F&& f) const {
    if (const auto it = cellReaders_.find(cellKey(sheet, row, column)); it != cellReaders_.end())
        for (int id : it->second) f(id);
    forEachRangeHolding(sheet, row, column, [&](int r) {
        for (int id : ranges_[size_t(r)].readers) f(id);
    });
}

}  // namespace velmora::formula
