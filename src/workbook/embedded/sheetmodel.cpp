#include "workbook/embedded/sheetmodel.h"

#include "workbook/cellref.h"
#include "workbook/embedded/cellinput.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/hosterror.h"

#include <algorithm>

namespace velmora {

SheetModel::SheetModel(WorkbookDocument& document, int sheet, QObject* parent)
    : QAbstractTableModel(parent),
      document_(document),
      sheet_(sheet),
      display_(document.book().display(sheet)),
      styles_(document.book().styles()) {
    const int used = document.book().lastCell(sheet).row + 1;
    rows_ = std::clamp(used + kSpareRows, kMinimumRows, CellRef::kMaxRows);
    connect(&document, &WorkbookDocument::cellChanged, this, &SheetModel::cellChanged);
    connect(&document, &WorkbookDocument::blockChanged, this, &SheetModel::blockChanged);
}

CellRef SheetModel::usedEnd() const {
    return document_.book().lastCell(sheet_);
}

const CellStyle& SheetModel::style(int row, int column) const {
    return styles_.at(document_.book().cellStyle(sheet_, {row, column}));
}

CellLook SheetModel::look(int row, int column) const {
    return lookOf(document_.read(sheet_, {row, column}), style(row, column), display_.zeros);
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
            return look(index.row(), index.column()).text;
        case Qt::EditRole:
            return inputText(document_, sheet_, {index.row(), index.column()});
        case Qt::ToolTipRole:
            return document_.read(sheet_, {index.row(), index.column()}).toText();
        case Qt::TextAlignmentRole:
            return int(look(index.row(), index.column()).alignment);
        case Qt::FontRole:
            return style(index.row(), index.column()).font;
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
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return readOnly_ ? flags : flags | Qt::ItemIsEditable;
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (readOnly_ || !index.isValid() || role != Qt::EditRole)
        return false;
    const CellRef ref{index.row(), index.column()};
    const QString text = value.toString();
    // An editor closed without a change stores nothing: a date or a formula
    // result would otherwise turn into its text.
    if (text == inputText(document_, sheet_, ref))
        return true;
    try {
        if (store_) {
            store_(ref, text);
        } else {
            const xls::CellState state = inputState(text);
            document_.apply(sheet_, {{ref, state}});
        }
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
    blockChanged(sheet, row, column, row, column);
}

void SheetModel::blockChanged(int sheet, int top, int left, int bottom, int right) {
    if (sheet != sheet_)
        return;
    growTo(bottom + 1 + kSpareRows);
    Q_EMIT dataChanged(index(top, left), index(bottom, right));
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
