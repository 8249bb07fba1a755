#include "workbook/embedded/frozenpanes.h"

#include "workbook/embedded/sheetdelegate.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

namespace velmora {

namespace {
QHeaderView* header(QTableView* view, Qt::Orientation o) {
    return o == Qt::Horizontal ? view->horizontalHeader() : view->verticalHeader();
}
}  // namespace

class FrozenPanes::Pane : public QTableView {
public:
    Pane(QTableView* grid) : QTableView(grid) {
        setModel(grid->model());
        setSelectionModel(grid->selectionModel());
        setItemDelegate(delegate = new SheetDelegate(this));
        setFont(grid->font());
        setShowGrid(false);
        setFocusPolicy(Qt::NoFocus);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setEditTriggers(grid->editTriggers());
        for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
            h->setMinimumSectionSize(4);
            h->setDefaultAlignment(Qt::AlignCenter);
            h->setSectionsClickable(true);
        }
        horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    }
    // A pane scrolls only with the grid (see the constructor): the shared
    // current cell moving far away must not carry the frozen part along.
    void scrollTo(const QModelIndex&, ScrollHint) override {}
    bool openEditor(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
        return edit(index, trigger, event);
    }
    SheetDelegate* delegate = nullptr;
};

FrozenPanes::FrozenPanes(QTableView* grid, int rows, int columns)
    : QObject(grid), grid_(grid), rows_(rows), columns_(columns) {
    for (Pane*& pane : panes_) {
        pane = new Pane(grid);
        connect(pane->delegate, &CellEditor::committed, this, &FrozenPanes::committed);
        connect(pane->delegate, &CellEditor::textEdited, this, &FrozenPanes::textEdited);
        connect(pane->delegate, &QAbstractItemDelegate::closeEditor, this,
                &FrozenPanes::editorClosed);
    }
    Pane* top = panes_[0];
    Pane* left = panes_[1];
    if (rows_ == 0)
        top->hide();
    if (columns_ == 0)
        left->hide();
    if (rows_ == 0 || columns_ == 0)
        panes_[2]->hide();
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, top->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, left->verticalScrollBar(),
            &QScrollBar::setValue);
    for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical})
        connect(header(grid, o), &QHeaderView::sectionResized, this, [this, o](int section) {
            followSection(o, section);
            place();
        });
    grid->viewport()->installEventFilter(this);
    follow();
    place();
}

void FrozenPanes::followSection(Qt::Orientation o, int section) {
    QHeaderView* from = header(grid_, o);
    for (Pane* pane : panes_) {
        QHeaderView* to = header(pane, o);
        to->setSectionHidden(section, from->isSectionHidden(section));
        if (!from->isSectionHidden(section))
            to->resizeSection(section, from->sectionSize(section));
    }
}

// Sections of the default size need nothing: only those that differ are
// copied, so that a long sheet costs no more than its own sizing did.
void FrozenPanes::follow() {
    for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
        QHeaderView* from = header(grid_, o);
        for (Pane* pane : panes_)
            header(pane, o)->setDefaultSectionSize(from->defaultSectionSize());
        for (int i = 0; i < from->count(); ++i)
            if (from->isSectionHidden(i) || from->sectionSize(i) != from->defaultSectionSize())
                followSection(o, i);
    }
    panes_[1]->verticalScrollBar()->setValue(grid_->verticalScrollBar()->value());
    panes_[0]->horizontalScrollBar()->setValue(grid_->horizontalScrollBar()->value());
}

void FrozenPanes::setSpan(int row, int column, int rows, int columns) {
    for (Pane* pane : panes_) pane->setSpan(row, column, rows, columns);
}

bool FrozenPanes::covers(const QModelIndex& index) const {
    return paneFor(index) != nullptr;
}

int FrozenPanes::coveredWidth() const {
    return columns_ == 0 ? 0
                         : grid_->horizontalHeader()->sectionPosition(columns_ - 1) +
                               grid_->columnWidth(columns_ - 1);
}

int FrozenPanes::coveredHeight() const {
    return rows_ == 0
               ? 0
               : grid_->verticalHeader()->sectionPosition(rows_ - 1) + grid_->rowHeight(rows_ - 1);
}

// Each pane covers the grid's headers as well as cells, so that its own
// headers show the frozen rows' numbers and columns' letters.
void FrozenPanes::place() {
    const int frame = grid_->frameWidth();
    const int header = grid_->horizontalHeader()->height();
    const int numbers = grid_->verticalHeader()->width();
    const QSize view = grid_->viewport()->size();
    panes_[0]->setGeometry(frame, frame, numbers + view.width(), header + coveredHeight());
    panes_[1]->setGeometry(frame, frame, numbers + coveredWidth(), header + view.height());
    panes_[2]->setGeometry(frame, frame, numbers + coveredWidth(), header + coveredHeight());
    for (Pane* pane : panes_) {
        pane->horizontalHeader()->setFixedHeight(header);
        pane->verticalHeader()->setFixedWidth(numbers);
        pane->raise();
    }
    panes_[2]->raise();
}

bool FrozenPanes::eventFilter(QObject* object, QEvent* event) {
    if (object == grid_->viewport() && event->type() == QEvent::Resize)
        place();
    return QObject::eventFilter(object, event);
}

FrozenPanes::Pane* FrozenPanes::paneFor(const QModelIndex& index) const {
    const bool row = index.row() < rows_, column = index.column() < columns_;
    if (row && column)
        return panes_[2];
    if (row)
        return panes_[0];
    if (column)
        return panes_[1];
    return nullptr;
}

bool FrozenPanes::edit(const QModelIndex& index, QAbstractItemView::EditTrigger trigger,
                       QEvent* event, bool replace) {
    Pane* pane = paneFor(index);
    pane->delegate->replaceNextEdit(replace);
    const bool opened = pane->openEditor(index, trigger, event);
    pane->delegate->replaceNextEdit(false);
    return opened;
}

}  // namespace velmora
