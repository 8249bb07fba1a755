#pragma once

#include "workbook/embedded/backupwindow.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>

class QLabel;
class QTabWidget;

namespace velmora {

class FindBar;
class FormulaBar;
class SheetEdits;
class SheetView;
class WorkbookDocument;

// The visible face of the embedded host: the open workbook with one tab per
// sheet in workbook order, each a grid the teacher works in as in a
// spreadsheet program, with a formula bar above, a find bar below and the
// selection's sum in the status bar; every change can be undone. Save
// (Ctrl+S) through the host's save, Print (Ctrl+P) with preview, and the
// print as a PDF file. Closing the window only hides it: the workbook stays
// open.
class SheetWindow : public QMainWindow {
    Q_OBJECT
public:
    // save: the host's save; it throws HostError when the save fails.
    SheetWindow(WorkbookDocument& document, const QString& fileName, std::function<void()> save);
    ~SheetWindow() override;

    // The sheet's tab becomes the current one.
    void showSheet(int sheet);
    int currentSheet() const;
    SheetView* view(int sheet) const;
    SheetEdits& edits() { return *edits_; }
    // Shows the window; the first time at a size and place beside the
    // launcher bar at the top edge of the screen.
    void present();

    // 打开备份… opens backups of the workbook at this path, restored
    // through the host.
    void setBackups(const QString& workbookPath, BackupWindow::Host host);
    // A backup (or any copy of the workbook) read-only in a window of its
    // own; null, and a message, when it cannot be opened.
    BackupWindow* openBackup(const QString& path);

    void saveWorkbook();
    void printSheet();
    void exportPdf();
    void undo();
    void redo();
    void copy();
    void cut();
    void paste();
    void fillDown();
    void fillRight();
    void find();
    void goTo(const QString& address);
    void storeContent(const QString& content);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void chooseBackup();
    void sheetShown(int sheet);
    QString currentTitle() const;
    // The grid has the keys and is not editing a cell: edit commands apply.
    SheetView* idleView() const;
    void guardedStep(const std::function<void()>& step);
    void showCurrentCell();
    void showSummary();
    void reveal(int sheet, const QRect& cells);
    void findNext(const QString& text, bool wholeWorkbook, bool forward);

    WorkbookDocument& document_;
    QString fileName_;
    std::function<void()> save_;
    SheetEdits* edits_;
    FormulaBar* bar_;
    QTabWidget* tabs_;
    FindBar* findBar_;
    QLabel* summary_;
    QList<SheetView*> views_;
    bool placed_ = false;
    QString workbookPath_;
    BackupWindow::Host backupHost_;
    QList<QPointer<BackupWindow>> backups_;
};

}  // namespace velmora
