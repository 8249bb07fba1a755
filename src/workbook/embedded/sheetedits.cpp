#include "workbook/embedded/sheetedits.h"

#include "workbook/embedded/cellinput.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/formula/copiedformula.h"
#include "workbook/hosterror.h"

#include <QScopedValueRollback>

namespace velmora {

namespace {
constexpr int kHistorySteps = 500;

using CellEdit = WorkbookDocument::CellEdit;
}  // namespace

SheetEdits::SheetEdits(WorkbookDocument& document, QObject* parent)
    : QObject(parent), document_(document) {
    history_.setUndoLimit(kHistorySteps);
    connect(&document, &WorkbookDocument::cellChanged, this, &SheetEdits::changedElsewhere);
    connect(&document, &WorkbookDocument::blockChanged, this, &SheetEdits::changedElsewhere);
    connect(&document, &WorkbookDocument::sizeChanged, this, &SheetEdits::changedElsewhere);
}

void SheetEdits::undo() {
    QScopedValueRollback<bool> busy(busy_, true);
    history_.undo();
}

void SheetEdits::redo() {
    QScopedValueRollback<bool> busy(busy_, true);
    history_.redo();
}

void SheetEdits::changedElsewhere() {
    if (!busy_)
        history_.clear();
}

// Makes the change, then records it with what each cell held before; the
// document's and the engine's own normalising (line breaks) is what the
// step puts back on redo.
void SheetEdits::push(int sheet, const QList<CellEdit>& edits, const QString& step) {
    if (edits.isEmpty())
        return;
    QScopedValueRollback<bool> busy(busy_, true);
    QList<CellEdit> before, after;
    before.reserve(edits.size());
    for (const CellEdit& e : edits) before.append({e.ref, document_.state(sheet, e.ref)});
    document_.apply(sheet, edits);
    after.reserve(edits.size());
    for (const CellEdit& e : edits) after.append({e.ref, document_.state(sheet, e.ref)});
    history_.push(
        new CellsCommand(document_, sheet, std::move(before), std::move(after), step, hooks_));
}

void SheetEdits::type(int sheet, CellRef ref, const QString& text) {
    push(sheet, {{ref, inputState(text)}}, QStringLiteral("输入"));
}

void SheetEdits::clear(int sheet, const QList<QRect>& ranges, const QString& step) {
    // Only the used part of a range can hold anything: a whole selected
    // sheet is not walked cell by cell.
    const CellRef end = document_.book().lastCell(sheet);
    QList<CellEdit> edits;
    for (const QRect& r : ranges)
        for (int row = r.top(); row <= std::min(r.bottom(), end.row); ++row)
            for (int c = r.left(); c <= std::min(r.right(), end.column); ++c)
                if (!document_.read(sheet, {row, c}).isEmpty())
                    edits.append({{row, c}, {xls::CellState::Kind::Cleared, {}, 0}});
    push(sheet, edits, step);
}

namespace {

// What an input typed at `from` becomes at `to`: formulas move their
// relative references, everything else is as typed.
xls::CellState placed(const QString& input, CellRef from, CellRef to) {
    xls::CellState state = inputState(input);
    if (state.kind == xls::CellState::Kind::Formula)
        state.text = formula::copiedFormula(state.text, to.row - from.row, to.column - from.column);
    return state;
}

}  // namespace

void SheetEdits::paste(int sheet, CellRef at, const QList<QStringList>& inputs, const QRect& target,
                       const QString& step, std::optional<CellRef> origin) {
    QList<CellEdit> edits;
    // Without an origin (text from another program) formulas are as typed.
    const auto from = [&](CellRef to, int r, int c) {
        return origin ? CellRef{origin->row + r, origin->column + c} : to;
    };
    if (inputs.size() == 1 && inputs[0].size() == 1 && target.width() * target.height() > 1) {
        for (int row = target.top(); row <= target.bottom(); ++row)
            for (int c = target.left(); c <= target.right(); ++c)
                edits.append({{row, c}, placed(inputs[0][0], from({row, c}, 0, 0), {row, c})});
    } else {
        int width = 0;
        for (const QStringList& line : inputs) width = std::max(width, int(line.size()));
        if (at.row + inputs.size() > CellRef::kMaxRows || at.column + width > CellRef::kMaxColumns)
            throw HostError(
                QStringLiteral("粘贴的内容有 %1 行 %2 列，从 %3 起放不下：超出了工作表的范围。")
                    .arg(inputs.size())
                    .arg(width)
                    .arg(a1(at)));
        for (int r = 0; r < inputs.size(); ++r)
            for (int c = 0; c < width; ++c) {
                const CellRef to{at.row + r, at.column + c};
                edits.append({to, placed(inputs[r].value(c), from(to, r, c), to)});
            }
    }
    push(sheet, edits, step);
}

void SheetEdits::fill(int sheet, QRect range, Qt::Orientation direction) {
    const bool down = direction == Qt::Vertical;
    // One row (or column) selected: it takes the one before it.
    if (down && range.height() == 1 && range.top() > 0)
        range.setTop(range.top() - 1);
    if (!down && range.width() == 1 && range.left() > 0)
        range.setLeft(range.left() - 1);
    QList<CellEdit> edits;
    const int lines = down ? range.width() : range.height();
    const xls::XlsWorkbook& book = document_.book();
    for (int i = 0; i < lines; ++i) {
        const CellRef source =
            down ? CellRef{range.top(), range.left() + i} : CellRef{range.top() + i, range.left()};
        const int count = down ? range.height() : range.width();
        const auto target = [&](int k) {
            return down ? CellRef{source.row + k, source.column} : CellRef{source.row, source.column + k};
        };
        if (book.hasFormula(sheet, source)) {
            const QString formula = u'=' + book.formula(sheet, source);
            for (int k = 1; k < count; ++k)
                edits.append({target(k), placed(formula, source, target(k))});
            continue;
        }
        // A value typed here copies as it is; one from the file as its value.
        xls::CellState state = document_.state(sheet, source);
        if (state.kind == xls::CellState::Kind::AsLoaded) {
            const CellValue v = document_.read(sheet, source);
            state = v.kind == CellValue::Kind::Number
                        ? xls::CellState{xls::CellState::Kind::Number, {}, v.number}
                    : v.isEmpty() ? xls::CellState{xls::CellState::Kind::Cleared, {}, 0}
                                  : xls::CellState{xls::CellState::Kind::Text, v.toText(), 0};
        }
        for (int k = 1; k < count; ++k) edits.append({target(k), state});
    }
    push(sheet, edits, down ? QStringLiteral("向下填充") : QStringLiteral("向右填充"));
}

void SheetEdits::resize(int sheet, Qt::Orientation orientation, int section, int before,
                        int after) {
    if (before == after)
        return;
    QScopedValueRollback<bool> busy(busy_, true);
    if (orientation == Qt::Horizontal)
        document_.setColumnWidth(sheet, section, after);
    else
        document_.setRowHeight(sheet, section, after);
    history_.push(new SizeCommand(document_, sheet, orientation, section, before, after, hooks_));
}

}  // namespace velmora
