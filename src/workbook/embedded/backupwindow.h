#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

class QTabWidget;

namespace velmora {

class SheetView;
class WorkbookDocument;

// A backup of the class workbook, opened read-only in a window of its own
// beside the sheet window: its sheets as the sheet window shows them, cells
// can be selected and copied, nothing can be typed or saved into it.
// 恢复此备份 replaces the class workbook with the backup once the teacher
// confirms; the replaced workbook is kept as a backup too.
class BackupWindow : public QMainWindow {
    Q_OBJECT
public:
    // What restoring needs of the host that holds the class workbook.
    struct Host {
        std::function<bool()> hasUnsavedChanges;
        // Saves the unsaved changes first when asked to, replaces the
        // workbook with the backup and reloads it; returns where the replaced
        // workbook was kept. HostError when it did not happen.
        std::function<QString(const QString& backup, bool saveFirst)> restore;
    };

    enum class Choice { Cancel, Restore, SaveThenRestore };
    // How the window asks before restoring; unsaved: the class workbook has
    // unsaved changes (then SaveThenRestore is offered too).
    using Question = std::function<Choice(QWidget* parent, const QString& text, bool unsaved)>;
    // Tests answer without a dialog; null puts the dialog back.
    static void setQuestion(Question question);

    // Reads the backup; HostError when it is not a workbook this program
    // can open.
    BackupWindow(const QString& path, Host host);
    ~BackupWindow() override;

    QString path() const { return path_; }
    SheetView* view(int sheet) const;
    void copy();
    void restoreBackup();

private:
    void sheetShown(int sheet);

    QString path_;
    Host host_;
    std::unique_ptr<WorkbookDocument> document_;
    QTabWidget* tabs_;
    QList<SheetView*> views_;
};

}  // namespace velmora
