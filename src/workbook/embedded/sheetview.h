#pragma once

#include "workbook/cellref.h"
#include "workbook/embedded/celleditor.h"

#include <QTableView>
#include <map>

namespace velmora {

class FrozenPanes;
class SheetDelegate;
class SheetEdits;
class SheetModel;
namespace xls {
class XlsWorkbook;
}

// The grid of one sheet, worked as in spreadsheet programs: column widths,
// row heights, merged cells, hidden and frozen rows and columns as the file
// gives them; ranges selected by dragging, Shift+arrows, the headers and
// Ctrl+A; typing over a cell replaces it; Enter moves down and Shift+Enter
// up, Tab right and Shift+Tab left; Home, Ctrl+Home, End and Ctrl+End go to
// the row's start, the sheet's start, the used part's last column and last
// cell; Delete empties the selected cells. Dragging a column's or row's
// edge changes its size in the workbook.
class SheetView : public QTableView {
    Q_OBJECT
public:
    SheetView(SheetModel* model, QWidget* parent = nullptr);

    SheetModel* sheetModel() const { return model_; }
    // Where the view's changes go, each an undoable step.
    void setEdits(SheetEdits* edits);
    // Column widths, row heights, merges and frozen panes from the file
    // (done once, on first show: a large sheet costs a moment).
    void applyFileSizes(const xls::XlsWorkbook& book);
    bool hasFileSizes() const { return sized_; }

    // The selected ranges, columns across and rows down; the current cell
    // when nothing is selected.
    QList<QRect> selectedRanges() const;
    bool isEditing() const { return state() == EditingState; }
    QRect selectionBounds() const;
    void goTo(CellRef cell, CellRef extent);
    // Ctrl+D and Ctrl+R.
    void fill(Qt::Orientation direction);
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

Q_SIGNALS:
    // A step the view tried was refused; the message says why.
    void refused(const QString& message);
    // The text in an open cell editor, as it is typed; and the editor closed.
    void editorTextChanged(const QString& text);
    void editEnded();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    static constexpr int kMaxLinesShown = 10;
    // A row is made high enough for this many lines (never lower).
    void growRow(int row, int lines);
    void cellsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void move(CellEditor::Move move);
    void moveTo(int row, int column);
    void sectionResized(Qt::Orientation orientation, int section, int before, int after);
    void sizeChanged(int sheet, Qt::Orientation orientation, int section, int px);
    void run(const std::function<void()>& step);

    SheetModel* model_;
    SheetDelegate* editor_;
    SheetEdits* edits_ = nullptr;
    FrozenPanes* panes_ = nullptr;
    bool sized_ = false;
    bool sizing_ = false;    // the view sizes sections itself: no steps
    bool dragging_ = false;  // a mouse button is down on a header
    // Sizes being dragged: the size each section had when the drag began.
    std::map<std::pair<int, int>, int> dragged_;
};

}  // namespace velmora
