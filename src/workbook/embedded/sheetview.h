#pragma once

#include <QTableView>

namespace velmora {

class SheetDelegate;
class SheetModel;
namespace xls {
class XlsWorkbook;
}

// The grid of one sheet: column widths and row heights as the file gives
// them, typing over a cell replaces it, Enter moves down, Delete empties the
// selected cells.
class SheetView : public QTableView {
    Q_OBJECT
public:
    SheetView(SheetModel* model, QWidget* parent = nullptr);

    SheetModel* sheetModel() const { return model_; }
    // Column widths and row heights from the file (done once, on first show:
    // a large sheet costs a moment).
    void applyFileSizes(const xls::XlsWorkbook& book);
    bool hasFileSizes() const { return sized_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    static constexpr int kMaxLinesShown = 10;
    // A row is made high enough for this many lines (never lower).
    void growRow(int row, int lines);
    void cellChanged(const QModelIndex& topLeft);
    void moveDown();
    void clearSelectedCells();

    SheetModel* model_;
    SheetDelegate* editor_;
    bool sized_ = false;
};

}  // namespace velmora
