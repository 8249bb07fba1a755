#pragma once

#include "workbook/embedded/workbookdocument.h"

#include <QRect>
#include <QUndoCommand>
#include <functional>

namespace velmora {

// What undo and redo do with a step: they show its sheet and cells
// (columns across, rows down; a null rectangle for the sheet alone), or
// report a refusal.
struct StepHooks {
    std::function<void(int sheet, const QRect& cells)> reveal;
    std::function<void(const QString& message)> refused;
};

// Cells of one sheet changed as one step: every cell's state before and
// after, put back through the document. The change is already made when
// the command is pushed; its first redo does nothing.
class CellsCommand : public QUndoCommand {
public:
    CellsCommand(WorkbookDocument& document, int sheet, QList<WorkbookDocument::CellEdit> before,
                 QList<WorkbookDocument::CellEdit> after, const QString& text,
                 const StepHooks& hooks);
    void undo() override;
    void redo() override;

private:
    void put(const QList<WorkbookDocument::CellEdit>& edits);

    WorkbookDocument& document_;
    int sheet_;
    QList<WorkbookDocument::CellEdit> before_, after_;
    QRect cells_;
    const StepHooks& hooks_;
    bool made_ = true;
};

// A column width or row height changed by dragging.
class SizeCommand : public QUndoCommand {
public:
    SizeCommand(WorkbookDocument& document, int sheet, Qt::Orientation orientation, int section,
                int before, int after, const StepHooks& hooks);
    void undo() override;
    void redo() override;

private:
    void set(int px);

    WorkbookDocument& document_;
    int sheet_;
    Qt::Orientation orientation_;
    int section_, before_, after_;
    const StepHooks& hooks_;
    bool made_ = true;
};

}  // namespace velmora
