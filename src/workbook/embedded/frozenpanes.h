#pragma once

#include "workbook/embedded/celleditor.h"

#include <QObject>
#include <QTableView>
#include <array>

namespace velmora {

// The frozen rows and columns of a sheet: copies of the grid laid over its
// top rows (scrolling across with it), its left columns (scrolling down
// with it) and their corner (never scrolling), sharing its model,
// selection and kind of delegate, so that the frozen part stays in sight
// while the rest scrolls beneath it, as in spreadsheet programs. Each pane
// has a delegate of its own (a view takes only its own editors back); their
// edits report to the grid through the signals below.
class FrozenPanes : public QObject {
    Q_OBJECT
public:
    FrozenPanes(QTableView* grid, int rows, int columns);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    // The part of the grid's viewport the panes cover.
    int coveredWidth() const;
    int coveredHeight() const;
    // A cell of the frozen part is edited in the pane that shows it.
    bool covers(const QModelIndex& index) const;
    // replace: typing starts from an empty cell (see CellEditor).
    bool edit(const QModelIndex& index, QAbstractItemView::EditTrigger trigger, QEvent* event,
              bool replace);
    // Hidden sections and sizes follow the grid's; merged cells are set on
    // both.
    void follow();
    void setSpan(int row, int column, int rows, int columns);

Q_SIGNALS:
    void committed(CellEditor::Move move);
    void textEdited(const QString& text);
    void editorClosed();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    class Pane;
    void followSection(Qt::Orientation orientation, int section);
    void place();
    Pane* paneFor(const QModelIndex& index) const;

    QTableView* grid_;
    int rows_, columns_;
    std::array<Pane*, 3> panes_{};  // top, left, corner
};

}  // namespace velmora
