// Lookup and reference functions: INDEX, MATCH, VLOOKUP, HLOOKUP, LOOKUP,
// ROW, COLUMN, ROWS, COLUMNS, AREAS, OFFSET, INDIRECT, ADDRESS, TRANSPOSE.
#include "workbook/formula/criteria.h"
#include "workbook/formula/library.h"
#include "workbook/formula/referencetext.h"

#include <cmath>

namespace velmora::formula {

namespace {

int integer(const Call& c, int i, double fallback) {
    const double n = std::trunc(c.number(i, fallback));
    if (n < -1e9 || n > 1e9)
        throw ErrorResult{err::kValue};
    return int(n);
}

Operand index(Call& c) {
    int row = c.count() > 1 ? integer(c, 1, 0) : 0;
    int column = c.count() > 2 ? integer(c, 2, 0) : 0;
    const Operand& source = c.arg(0);
    if (row < 0 || column < 0)
        throw ErrorResult{err::kValue};
    if (source.isReference()) {
        const int which = integer(c, 3, 1);
        if (which < 1 || size_t(which) > source.areas.size())
            throw ErrorResult{err::kRef};
        const Area a = source.areas[size_t(which - 1)];
        // One number for a single row is its column.
        if (c.count() <= 2 && a.rows() == 1 && a.columns() > 1) {
            column = row;
            row = 0;
        } else if (c.count() <= 2 && a.columns() == 1) {
            column = 1;
        }
        if (row > a.rows() || column > a.columns())
            throw ErrorResult{err::kRef};
        Area r = a;
        if (row > 0)
            r.row = r.lastRow = a.row + row - 1;
        if (column > 0)
            r.column = r.lastColumn = a.column + column - 1;
        return Operand::reference(r);
    }
    const RangeView v = c.range(0);
    if (c.count() <= 2 && v.rows() == 1) {
        column = row;
        row = 1;
    } else if (c.count() <= 2 && v.columns() == 1) {
        column = 1;
    }
    if (row > v.rows() || column > v.columns())
        throw ErrorResult{err::kRef};
    if (row > 0 && column > 0)
        return v.at(row - 1, column - 1);
    Matrix m(row > 0 ? 1 : v.rows(), column > 0 ? 1 : v.columns());
    for (int r = 0; r < m.rows; ++r)
        for (int col = 0; col < m.columns; ++col)
            m.at(r, col) = v.at(row > 0 ? row - 1 : r, column > 0 ? column - 1 : col);
    return Operand::matrix(std::move(m));
}

// Values that can be compared with a looked-up value: of the same kind.
bool sameKind(const Value& a, const Value& b) {
    return a.kind == b.kind || (a.isEmpty() && b.isNumber());
}

bool exactMatch(const Value& wanted, const Value& v) {
    if (wanted.isText() && v.isText())
        return wildcardMatch(wanted.text, v.text);
    return v.kind == wanted.kind && compareValues(v, wanted) == 0;
}

// The place of a value among n values (at(i)): exact, or for sorted data
// the last one not greater (ascending) or not smaller (descending), found
// by halving as spreadsheet programs do, among the values of the same kind.
template <typename At>
int lookup(const Value& wanted, int n, At&& at, int type) {
    if (wanted.isError())
        throw ErrorResult{wanted.code};
    if (type == 0) {
        for (int i = 0; i < n; ++i)
            if (exactMatch(wanted, at(i)))
                return i;
        return -1;
    }
    std::vector<int> places;
    for (int i = 0; i < n; ++i)
        if (sameKind(at(i), wanted) && !at(i).isEmpty())
            places.push_back(i);
    int lo = 0, hi = int(places.size()) - 1, found = -1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int cmp = compareValues(at(places[size_t(mid)]), wanted);
        if (cmp == 0) {
            // An exact hit: the last of the equal values that follow it.
            int last = mid;
            while (last + 1 < int(places.size()) &&
                   compareValues(at(places[size_t(last + 1)]), wanted) == 0)
                ++last;
            return places[size_t(last)];
        }
        if (type > 0 ? cmp < 0 : cmp > 0) {
            found = places[size_t(mid)];
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return found;
}

Operand match(Call& c) {
    const Value wanted = c.scalar(0);
    const RangeView v = c.range(1);
    if (v.rows() > 1 && v.columns() > 1)
        throw ErrorResult{err::kNA};
    const int type = c.given(2) ? (c.number(2) > 0 ? 1 : c.number(2) < 0 ? -1 : 0) : 1;
    const bool column = v.columns() == 1;
    const int n = column ? v.rows() : v.columns();
    const int found = lookup(wanted, n, [&](int i) -> const Value& {
        return column ? v.at(i, 0) : v.at(0, i);
    }, type);
    if (found < 0)
        throw ErrorResult{err::kNA};
    return Value::ofNumber(found + 1);
}

template <bool Vertical>
Operand tableLookup(Call& c) {
    const Value wanted = c.scalar(0);
    const RangeView t = c.range(1);
    const int which = integer(c, 2, 1);
    const bool approximate = c.boolean(3, true);
    if (which < 1)
        throw ErrorResult{err::kValue};
    if (which > (Vertical ? t.columns() : t.rows()))
        throw ErrorResult{err::kRef};
    const int n = Vertical ? t.rows() : t.columns();
    const int found = lookup(wanted, n, [&](int i) -> const Value& {
        return Vertical ? t.at(i, 0) : t.at(0, i);
    }, approximate ? 1 : 0);
    if (found < 0)
        throw ErrorResult{err::kNA};
    return Vertical ? t.at(found, which - 1) : t.at(which - 1, found);
}

Operand lookupFn(Call& c) {
    const Value wanted = c.scalar(0);
    const RangeView v = c.range(1);
    // The array form looks along the longer side and gives the last row or column.
    const bool down = v.rows() >= v.columns();
    const int n = down ? v.rows() : v.columns();
    const int found = lookup(wanted, n, [&](int i) -> const Value& {
        return down ? v.at(i, 0) : v.at(0, i);
    }, 1);
    if (found < 0)
        throw ErrorResult{err::kNA};
    if (c.count() < 3)
        return down ? v.at(found, v.columns() - 1) : v.at(v.rows() - 1, found);
    const RangeView result = c.range(2);
    const bool resultDown = result.columns() == 1;
    if (found >= (resultDown ? result.rows() : result.columns()))
        throw ErrorResult{err::kNA};
    return resultDown ? result.at(found, 0) : result.at(0, found);
}

template <bool Row>
Operand rowColumn(Call& c) {
    if (c.count() == 0 || !c.given(0))
        return Value::ofNumber((Row ? c.site.row : c.site.column) + 1);
    if (!c.arg(0).isReference())
        throw ErrorResult{err::kValue};
    const Area& a = c.arg(0).areas.front();
    if (c.inArrayFormula() && (Row ? a.rows() : a.columns()) > 1) {
        const int n = Row ? a.rows() : a.columns();
        Matrix m(Row ? n : 1, Row ? 1 : n);
        for (int i = 0; i < n; ++i) m.cells[size_t(i)] = Value::ofNumber((Row ? a.row : a.column) + i + 1);
        return Operand::matrix(std::move(m));
    }
    return Value::ofNumber((Row ? a.row : a.column) + 1);
}

template <bool Rows>
Operand size(Call& c) {
    const Operand& o = c.arg(0);
    if (o.isReference()) {
        if (o.areas.size() != 1)
            throw ErrorResult{err::kRef};
        return Value::ofNumber(Rows ? o.areas[0].rows() : o.areas[0].columns());
    }
    const RangeView v = c.range(0);
    return Value::ofNumber(Rows ? v.rows() : v.columns());
}

Operand areas(Call& c) {
    if (!c.arg(0).isReference())
        throw ErrorResult{err::kValue};
    return Value::ofNumber(double(c.arg(0).areas.size()));
}

Operand offset(Call& c) {
    if (!c.arg(0).isReference() || c.arg(0).areas.size() != 1)
        throw ErrorResult{err::kValue};
    const Area a = c.arg(0).areas[0];
    const int rows = integer(c, 1, 0), columns = integer(c, 2, 0);
    const int height = integer(c, 3, a.rows()), width = integer(c, 4, a.columns());
    if (height < 1 || width < 1)
        throw ErrorResult{err::kRef};
    Area r = a;
    r.row = a.row + rows;
    r.column = a.column + columns;
    r.lastRow = r.row + height - 1;
    r.lastColumn = r.column + width - 1;
    if (r.row < 0 || r.column < 0 || r.lastRow > kMaxRow || r.lastColumn > kMaxColumn)
        throw ErrorResult{err::kRef};
    return Operand::reference(r);
}

Operand indirect(Call& c) {
    const QString text = c.text(0);
    if (!c.boolean(1, true))
        throw Unsupported{};  // R1C1 references
    const Links& links = c.ctx.links;
    const auto ref = parseReference(text);
    if (!ref) {
        // A defined name's text: not followed here.
        if (links.nameIndex(text.trimmed(), c.site.sheet) >= 0)
            throw Unsupported{};
        throw ErrorResult{err::kRef};
    }
    int sheet = c.site.sheet, last = c.site.sheet;
    if (!ref->sheet.isEmpty()) {
        sheet = links.sheetIndex(ref->sheet);
        last = ref->lastSheet.isEmpty() ? sheet : links.sheetIndex(ref->lastSheet);
        if (sheet < 0 || last < 0)
            throw ErrorResult{err::kRef};
    }
    Area a{std::min(sheet, last), std::max(sheet, last),
           std::min(ref->first.row, ref->last.row), std::min(ref->first.column, ref->last.column),
           std::max(ref->first.row, ref->last.row), std::max(ref->first.column, ref->last.column)};
    return Operand::reference(a);
}

Operand address(Call& c) {
    const int row = integer(c, 0, 1), column = integer(c, 1, 1), kind = integer(c, 2, 1);
    const bool a1 = c.boolean(3, true);
    if (row < 1 || row > kMaxRow + 1 || column < 1 || column > kMaxColumn + 1 || kind < 1 ||
        kind > 4)
        throw ErrorResult{err::kValue};
    const bool rowAbsolute = kind == 1 || kind == 2, columnAbsolute = kind == 1 || kind == 3;
    QString out;
    if (c.given(4)) {
        const QString sheet = c.text(4);
        if (!sheet.isEmpty())
            out = quoteSheetName(sheet) + u'!';
    }
    if (a1)
        return Value::ofText(out + cellAddress(row - 1, column - 1, !rowAbsolute, !columnAbsolute));
    const auto part = [](QChar letter, int n, bool absolute) {
        return absolute ? letter + QString::number(n) : letter + u'[' + QString::number(n) + u']';
    };
    return Value::ofText(out + part(u'R', row, rowAbsolute) + part(u'C', column, columnAbsolute));
}

Operand transpose(Call& c) {
    const RangeView v = c.range(0);
    Matrix m(v.columns(), v.rows());
    for (int r = 0; r < v.rows(); ++r)
        for (int col = 0; col < v.columns(); ++col) m.at(col, r) = v.at(r, col);
    return Operand::matrix(std::move(m));
}

}  // namespace

const std::vector<FunctionEntry>& lookupFunctions() {
    static const std::vector<FunctionEntry> table = {
        {"INDEX", index},
        {"MATCH", match},
        {"VLOOKUP", tableLookup<true>},
        {"HLOOKUP", tableLookup<false>},
        {"LOOKUP", lookupFn},
        {"ROW", rowColumn<true>},
        {"COLUMN", rowColumn<false>},
        {"ROWS", size<true>},
        {"COLUMNS", size<false>},
        {"AREAS", areas},
        {"OFFSET", offset},
        {"INDIRECT", indirect},
        {"ADDRESS", address},
        {"TRANSPOSE", transpose},
    };
    return table;
}

}  // namespace velmora::formula
