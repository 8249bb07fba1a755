#pragma once

#include "workbook/cellref.h"
#include "workbook/cellvalue.h"
#include "workbook/render/celllook.h"
#include "workbook/xls/sheetdisplay.h"

#include <QAbstractTableModel>
#include <functional>

namespace velmora {

class WorkbookDocument;

// One sheet of the open workbook as a table: column letters A to IV across,
// row numbers down. Cells are read from the workbook when the view paints
// them, never copied. There are always some empty rows below the last used
// one; scrolling to the end adds more, up to the sheet's last row.
class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    SheetModel(WorkbookDocument& document, int sheet, QObject* parent = nullptr);

    int sheet() const { return sheet_; }
    WorkbookDocument& document() const { return document_; }
    const xls::SheetDisplay& display() const { return display_; }
    // The last used row and column, {-1, -1} for an empty sheet.
    CellRef usedEnd() const;
    CellLook look(int row, int column) const;
    // The format a cell shows with; also for empty cells, whose borders and
    // fill still show.
    const CellStyle& style(int row, int column) const;

    // Where typing into a cell goes (the window's undoable edits); without
    // one, straight to the workbook.
    using Store = std::function<void(CellRef, const QString&)>;
    void setStore(Store store) { store_ = std::move(store); }
    // A read-only sheet takes no typing: no cell opens an editor.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // DisplayRole: the text as shown; EditRole: the content as typed.
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typing into a cell (see cellinput.h). A refused text is reported by
    // refused().
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    static constexpr int kSpareRows = 100;
    static constexpr int kMinimumRows = 200;

Q_SIGNALS:
    void refused(const QString& message);

private:
    void cellChanged(int sheet, int row, int column);
    void blockChanged(int sheet, int top, int left, int bottom, int right);
    void growTo(int rows);

    WorkbookDocument& document_;
    int sheet_;
    int rows_;
    xls::SheetDisplay display_;
    CellStyles styles_;
    Store store_;
    bool readOnly_ = false;
};

}  // namespace velmora
