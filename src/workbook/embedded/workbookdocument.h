#pragma once

#include "workbook/cellref.h"
#include "workbook/cellvalue.h"
#include "workbook/xls/xlsworkbook.h"

#include <QList>
#include <QObject>
#include <QString>

namespace velmora {

// The open class workbook in memory: what the host's operations and the
// sheet window's grid both read and change, so that each sees the other's
// writes at once. Reports every changed cell (formulas recomputed after a
// write included) and whether there are changes the file does not hold yet.
class WorkbookDocument : public QObject {
    Q_OBJECT
public:
    explicit WorkbookDocument(xls::XlsWorkbook book);

    const xls::XlsWorkbook& book() const { return book_; }
    QStringList sheetNames() const { return names_; }

    // The sheet of exactly this name; HostError when the workbook has none.
    int sheet(const QString& name) const;
    // An A1 address; HostError when it names no cell of an .xls sheet.
    static CellRef cell(const QString& address);

    CellValue read(int sheet, CellRef ref) const { return book_.cell(sheet, ref); }
    // Stores a text, number or empty value. HostError (nothing changed) when
    // the engine refuses it, such as a text longer than a cell holds.
    void store(int sheet, CellRef ref, const CellValue& value);

    bool isModified() const { return modified_; }
    // The file now holds every change.
    void setSaved();

    // Changes made in the sheet window, one step each (documentblocks.cpp).
    struct CellEdit {
        CellRef ref;
        xls::CellState state;
    };
    xls::CellState state(int sheet, CellRef ref) const { return book_.cellState(sheet, ref); }
    // Puts every cell in its state, then reports the block once. When the
    // engine refuses one, every cell is put back as it was and HostError
    // says why.
    void apply(int sheet, const QList<CellEdit>& edits);
    void setColumnWidth(int sheet, int column, int px);
    void setRowHeight(int sheet, int row, int px);

Q_SIGNALS:
    void cellChanged(int sheet, int row, int column);
    void modifiedChanged(bool modified);
    // The cells of a block changed (edits of apply(), formulas recomputed).
    void blockChanged(int sheet, int top, int left, int bottom, int right);
    void sizeChanged(int sheet, Qt::Orientation orientation, int section, int px);

private:
    void markModified();
    void announceRecalculated();

    xls::XlsWorkbook book_;
    QStringList names_;
    bool modified_ = false;
};

}  // namespace velmora
