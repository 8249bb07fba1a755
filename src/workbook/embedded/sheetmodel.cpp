#include "workbook/embedded/sheetmodel.h"

#include "workbook/cellref.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/hosterror.h"

#include <algorithm>

namespace velmora {

SheetModel::SheetModel(WorkbookDocument& document, int sheet, QObject* parent)
    : QAbstractTableModel(parent), document_(document), sheet_(sheet) {
    const int used = document.book().lastCell(sheet).row + 1;
    rows_ = std::clamp(used + kSpareRows, kMinimumRows, CellRef::kMaxRows);
    connect(&document, &WorkbookDocument::cellChanged, this, &SheetModel::cellChanged);
}

CellRef SheetModel::usedEnd() const {
    return document_.book().lastCell(sheet_);
}

int SheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : CellRef::kMaxColumns;
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::ToolTipRole:
            return document_.read(sheet_, {index.row(), index.column()}).toText();
        case Qt::TextAlignmentRole: {
            // As spreadsheet programs show them: numbers to the right.
            const CellValue v = document_.read(sheet_, {index.row(), index.column()});
            const Qt::Alignment h =
                v.kind == CellValue::Kind::Number ? Qt::AlignRight : Qt::AlignLeft;
            return int(h | Qt::AlignVCenter);
        }
        default:
            return {};
    }
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? columnName(section) : QString::number(section + 1);
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const CellRef ref{index.row(), index.column()};
    const QString text = value.toString();
    // An editor closed without a change stores nothing: a date or a formula
    // result would otherwise turn into its text.
    if (text == document_.read(sheet_, ref).toText())
        return true;
    try {
        document_.store(sheet_, ref, CellValue::typed(text));
    } catch (const HostError& e) {
        Q_EMIT refused(e.message());
        return false;
    }
    return true;
}

bool SheetModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && rows_ < CellRef::kMaxRows;
}

void SheetModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid())
        growTo(rows_ + kSpareRows);
}

void SheetModel::cellChanged(int sheet, int row, int column) {
    if (sheet != sheet_)
        return;
    growTo(row + 1 + kSpareRows);
    const QModelIndex i = index(row, column);
    Q_EMIT dataChanged(i, i);
}

void SheetModel::growTo(int rows) {
    rows = std::min(rows, CellRef::kMaxRows);
    if (rows <= rows_)
        return;
    beginInsertRows({}, rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
}

}  // namespace velmora
