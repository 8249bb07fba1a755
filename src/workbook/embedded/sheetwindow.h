#pragma once

#include <QMainWindow>
#include <functional>

class QTabWidget;

namespace velmora {

class SheetView;
class WorkbookDocument;

// The visible face of the embedded host: the open workbook with one tab per
// sheet in workbook order, each a grid the teacher types into; Save (Ctrl+S)
// through the host's save, Print (Ctrl+P) with preview, and the print as a
// PDF file. Closing the window only hides it: the workbook stays open.
class SheetWindow : public QMainWindow {
    Q_OBJECT
public:
    // save: the host's save; it throws HostError when the save fails.
    SheetWindow(WorkbookDocument& document, const QString& fileName, std::function<void()> save);

    // The sheet's tab becomes the current one.
    void showSheet(int sheet);
    int currentSheet() const;
    SheetView* view(int sheet) const;
    // Shows the window; the first time at a size and place beside the
    // launcher bar at the top edge of the screen.
    void present();

    void saveWorkbook();
    void printSheet();
    void exportPdf();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void sheetShown(int sheet);
    QString currentTitle() const;

    WorkbookDocument& document_;
    QString fileName_;
    std::function<void()> save_;
    QTabWidget* tabs_;
    QList<SheetView*> views_;
    bool placed_ = false;
};

}  // namespace velmora
