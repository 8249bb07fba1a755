#include "workbook/embedded/undocommands.h"

#include "workbook/hosterror.h"

namespace velmora {

CellsCommand::CellsCommand(WorkbookDocument& document, int sheet,
                           QList<WorkbookDocument::CellEdit> before,
                           QList<WorkbookDocument::CellEdit> after, const QString& text,
                           const StepHooks& hooks)
    : QUndoCommand(text),
      document_(document),
      sheet_(sheet),
      before_(std::move(before)),
      after_(std::move(after)),
      hooks_(hooks) {
    for (const WorkbookDocument::CellEdit& e : after_)
        cells_ |= QRect(e.ref.column, e.ref.row, 1, 1);
}

void CellsCommand::put(const QList<WorkbookDocument::CellEdit>& edits) {
    try {
        document_.apply(sheet_, edits);
    } catch (const HostError& e) {
        if (hooks_.refused)
            hooks_.refused(e.message());
        return;
    }
    if (hooks_.reveal)
        hooks_.reveal(sheet_, cells_);
}

void CellsCommand::undo() {
    put(before_);
}

void CellsCommand::redo() {
    if (std::exchange(made_, false))
        return;
    put(after_);
}

SizeCommand::SizeCommand(WorkbookDocument& document, int sheet, Qt::Orientation orientation,
                         int section, int before, int after, const StepHooks& hooks)
    : QUndoCommand(orientation == Qt::Horizontal ? QStringLiteral("调整列宽")
                                                 : QStringLiteral("调整行高")),
      document_(document),
      sheet_(sheet),
      orientation_(orientation),
      section_(section),
      before_(before),
      after_(after),
      hooks_(hooks) {}

void SizeCommand::set(int px) {
    try {
        if (orientation_ == Qt::Horizontal)
            document_.setColumnWidth(sheet_, section_, px);
        else
            document_.setRowHeight(sheet_, section_, px);
    } catch (const HostError& e) {
        if (hooks_.refused)
            hooks_.refused(e.message());
        return;
    }
    if (hooks_.reveal)
        hooks_.reveal(sheet_, QRect());
}

void SizeCommand::undo() {
    set(before_);
}

void SizeCommand::redo() {
    if (std::exchange(made_, false))
        return;
    set(after_);
}

}  // namespace velmora
