#include "workbook/formula/dependencies.h"

#include "workbook/formula/references.h"

#include <algorithm>

namespace velmora::formula {

namespace {
enum : char { kUnvisited = 0, kVisiting = 1, kDone = 2 };
}

void DependencyGraph::addFormula(int id, const Area& output, const std::vector<Area>& precedents) {
    if (size_t(id) >= formulas_.size())
        formulas_.resize(size_t(id) + 1);
    Formula& f = formulas_[size_t(id)];
    f = Formula();
    f.output = output;
    f.alive = true;
    for (const Area& a : precedents) {
        if (a.isCell()) {
            const quint64 key = cellKey(a.sheet, a.row, a.column);
            f.cells.push_back(key);
            cellReaders_[key].push_back(id);
        } else {
            const int r = rangeFor(a);
            f.ranges.push_back(r);
            ranges_[size_t(r)].readers.push_back(id);
        }
    }
    for (int s = output.sheet; s <= output.lastSheet; ++s) {
        if (size_t(s) >= outputRows_.size())
            outputRows_.resize(size_t(s) + 1);
        auto& columns = outputRows_[size_t(s)];
        if (columns.size() <= size_t(output.lastColumn))
            columns.resize(size_t(output.lastColumn) + 1);
        for (int c = output.column; c <= output.lastColumn; ++c) {
            auto& rows = columns[size_t(c)];
            for (int r = output.row; r <= output.lastRow; ++r) {
                outputAt_[cellKey(s, r, c)] = id;
                if (rows.empty() || rows.back() < r)
                    rows.push_back(r);
                else if (const auto at = std::lower_bound(rows.begin(), rows.end(), r);
                         *at != r)
                    rows.insert(at, r);
            }
        }
    }
    ++generation_;
}

void DependencyGraph::removeFormula(int id) {
    if (id < 0 || size_t(id) >= formulas_.size() || !formulas_[size_t(id)].alive)
        return;
    Formula& f = formulas_[size_t(id)];
    for (quint64 key : f.cells) {
        auto it = cellReaders_.find(key);
        if (it != cellReaders_.end()) {
            std::erase(it->second, id);
            if (it->second.empty())
                cellReaders_.erase(it);
        }
    }
    for (int r : f.ranges) std::erase(ranges_[size_t(r)].readers, id);
    const Area& out = f.output;
    for (int s = out.sheet; s <= out.lastSheet; ++s)
        for (int c = out.column; c <= out.lastColumn; ++c)
            for (int r = out.row; r <= out.lastRow; ++r) {
                const auto at = outputAt_.find(cellKey(s, r, c));
                if (at == outputAt_.end() || at->second != id)
                    continue;
                outputAt_.erase(at);
                auto& rows = outputRows_[size_t(s)][size_t(c)];
                const auto pos = std::lower_bound(rows.begin(), rows.end(), r);
                if (pos != rows.end() && *pos == r)
                    rows.erase(pos);
            }
    f = Formula();
    ++generation_;
}

int DependencyGraph::formulaAt(int sheet, int row, int column) const {
    const auto it = outputAt_.find(cellKey(sheet, row, column));
    return it == outputAt_.end() ? -1 : it->second;
}

int DependencyGraph::rangeFor(const Area& a) {
    const AreaKey key{a};
    if (const auto it = rangeIndex_.constFind(key); it != rangeIndex_.constEnd())
        return *it;
    const int r = int(ranges_.size());
    ranges_.push_back(Range{a, {}, {}, 0});
    rangeIndex_.insert(key, r);
    for (int s = std::max(a.sheet, 0); s <= a.lastSheet; ++s) {
        if (size_t(s) >= rangesByColumn_.size())
            rangesByColumn_.resize(size_t(s) + 1);
        auto& columns = rangesByColumn_[size_t(s)];
        const int last = std::min(a.lastColumn, kMaxColumn);
        if (columns.size() <= size_t(last))
            columns.resize(size_t(last) + 1);
        for (int c = std::max(a.column, 0); c <= last; ++c) columns[size_t(c)].push_back(r);
    }
    return r;
}

const std::vector<int>& DependencyGraph::formulasIn(Range& range) {
    if (range.knownAt == generation_)
        return range.formulas;
    range.formulas.clear();
    const Area& a = range.area;
    for (int s = std::max(a.sheet, 0); s <= a.lastSheet && size_t(s) < outputRows_.size(); ++s) {
        const auto& columns = outputRows_[size_t(s)];
        for (int c = a.column; c <= a.lastColumn && size_t(c) < columns.size(); ++c) {
            const auto& rows = columns[size_t(c)];
            for (auto it = std::lower_bound(rows.begin(), rows.end(), a.row);
                 it != rows.end() && *it <= a.lastRow; ++it) {
                const int id = outputAt_.at(cellKey(s, *it, c));
                if (range.formulas.empty() || range.formulas.back() != id)
                    range.formulas.push_back(id);
            }
        }
    }
    std::sort(range.formulas.begin(), range.formulas.end());
    range.formulas.erase(std::unique(range.formulas.begin(), range.formulas.end()),
                         range.formulas.end());
    range.knownAt = generation_;
    return range.formulas;
}

void DependencyGraph::order(const std::vector<int>& roots, const std::vector<char>& wanted,
                            std::vector<int>& out, std::vector<int>& circular) {
    // Depth first over formulas (ids as given) and range nodes (after them),
    // with a stack of its own: chains of thousands of cells are common.
    const int rangeBase = int(formulas_.size());
    std::vector<char> state(formulas_.size() + ranges_.size(), kUnvisited);
    struct Frame {
        int node;
        size_t next;
    };
    std::vector<Frame> stack;
    const auto isWanted = [&](int id) {
        return size_t(id) < wanted.size() && wanted[size_t(id)] && formulas_[size_t(id)].alive;
    };
    // The nodes a node depends on: formulas of its cells and its ranges for
    // a formula, the formulas inside for a range; -1 for none.
    const auto child = [&](const Frame& f, size_t i, bool& more) -> int {
        if (f.node < rangeBase) {
            const Formula& fm = formulas_[size_t(f.node)];
            if (i < fm.cells.size()) {
                more = true;
                const auto it = outputAt_.find(fm.cells[i]);
                return it == outputAt_.end() ? -1 : it->second;
            }
            i -= fm.cells.size();
            more = i < fm.ranges.size();
            return more ? rangeBase + fm.ranges[i] : -1;
        }
        const std::vector<int>& inside = formulasIn(ranges_[size_t(f.node - rangeBase)]);
        more = i < inside.size();
        return more ? inside[i] : -1;
    };
    for (int root : roots) {
        if (!isWanted(root) || state[size_t(root)] != kUnvisited)
            continue;
        state[size_t(root)] = kVisiting;
        stack.push_back({root, 0});
        while (!stack.empty()) {
            Frame& top = stack.back();
            bool more = false;
            const int next = child(top, top.next++, more);
            if (more) {
                if (next < 0 || (next < rangeBase && !isWanted(next)))
                    continue;
                if (state[size_t(next)] == kVisiting) {
                    // A loop: every formula on the stack from there reads itself.
                    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
                        if (it->node < rangeBase)
                            circular.push_back(it->node);
                        if (it->node == next)
                            break;
                    }
                    continue;
                }
                if (state[size_t(next)] == kUnvisited) {
                    state[size_t(next)] = kVisiting;
                    stack.push_back({next, 0});
                }
                continue;
            }
            state[size_t(top.node)] = kDone;
            if (top.node < rangeBase)
                out.push_back(top.node);
            stack.pop_back();
        }
    }
}

}  // namespace velmora::formula
