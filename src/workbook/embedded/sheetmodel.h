#pragma once

#include "workbook/cellref.h"

#include <QAbstractTableModel>

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
    // The last used row and column, {-1, -1} for an empty sheet.
    CellRef usedEnd() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typing into a cell: stored as a person typing it (a plain number becomes
    // a number). A refused text is reported by refused().
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    static constexpr int kSpareRows = 100;
    static constexpr int kMinimumRows = 200;

Q_SIGNALS:
    void refused(const QString& message);

private:
    void cellChanged(int sheet, int row, int column);
    void growTo(int rows);

    WorkbookDocument& document_;
    int sheet_;
    int rows_;
};

}  // namespace velmora
