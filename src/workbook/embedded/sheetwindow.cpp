#include "workbook/embedded/sheetwindow.h"

#include "common/guard.h"
#include "common/messages.h"
#include "workbook/embedded/cellinput.h"
#include "workbook/embedded/findbar.h"
#include "workbook/embedded/formulabar.h"
#include "workbook/embedded/printing.h"
#include "workbook/embedded/sheetclipboard.h"
#include "workbook/embedded/sheetedits.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/statusline.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/backups.h"
#include "workbook/hosterror.h"
#include "workbook/render/sheetprint.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velmora {

namespace {
// The launcher bar takes the screen's top edge; the window starts below it.
constexpr int kBelowLauncher = 48;
}  // namespace

SheetWindow::SheetWindow(WorkbookDocument& document, const QString& fileName,
                         std::function<void()> save)
    : document_(document),
      fileName_(fileName),
      save_(std::move(save)),
      edits_(new SheetEdits(document, this)),
      bar_(new FormulaBar(this)),
      tabs_(new QTabWidget(this)),
      findBar_(new FindBar(this)),
      summary_(new QLabel(this)) {
    setObjectName(QStringLiteral("SheetWindow"));
    setWindowTitle(fileName + QStringLiteral("[*]"));
    tabs_->setObjectName(QStringLiteral("sheetTabs"));
    tabs_->setTabPosition(QTabWidget::South);
    tabs_->setDocumentMode(true);
    const QStringList names = document.sheetNames();
    for (int s = 0; s < names.size(); ++s) {
        auto* model = new SheetModel(document, s, this);
        auto* view = new SheetView(model);
        view->setObjectName(QStringLiteral("sheet%1").arg(s));
        view->setEdits(edits_);
        const auto refused = [this](const QString& message) {
            showMessage(this, message, kFormTitle);
        };
        connect(model, &SheetModel::refused, this, refused);
        connect(view, &SheetView::refused, this, refused);
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this, s] {
            if (s == currentSheet())
                showCurrentCell();
        });
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, s] {
            if (s == currentSheet())
                showSummary();
        });
        connect(view, &SheetView::editorTextChanged, bar_, &FormulaBar::followEditor);
        connect(view, &SheetView::editEnded, this, &SheetWindow::showCurrentCell);
        // A tab's text treats '&' as a shortcut mark; sheet names show as stored.
        tabs_->addTab(view, QString(names[s]).replace(u'&', QStringLiteral("&&")));
        views_.append(view);
    }
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addWidget(tabs_, 1);
    layout->addWidget(findBar_);
    setCentralWidget(central);
    summary_->setObjectName(QStringLiteral("selectionSummary"));
    statusBar()->addPermanentWidget(summary_);

    edits_->hooks().reveal = [this](int sheet, const QRect& cells) { reveal(sheet, cells); };
    edits_->hooks().refused = [this](const QString& message) {
        showMessage(this, message, kFormTitle);
    };
    connect(tabs_, &QTabWidget::currentChanged, this, &SheetWindow::sheetShown);
    connect(&document, &WorkbookDocument::modifiedChanged, this, &QWidget::setWindowModified);
    connect(&document, &WorkbookDocument::cellChanged, this, [this] {
        showCurrentCell();
        showSummary();
    });
    connect(&document, &WorkbookDocument::blockChanged, this, [this] {
        showCurrentCell();
        showSummary();
    });
    connect(bar_, &FormulaBar::addressEntered, this, &SheetWindow::goTo);
    connect(bar_, &FormulaBar::contentEntered, this, &SheetWindow::storeContent);
    connect(bar_, &FormulaBar::done, this, [this] {
        if (SheetView* v = view(currentSheet()))
            v->setFocus();
    });
    connect(findBar_, &FindBar::findRequested, this, &SheetWindow::findNext);
    connect(findBar_, &FindBar::closed, this, [this] {
        if (SheetView* v = view(currentSheet()))
            v->setFocus();
    });
    setWindowModified(document.isModified());
    buildMenus();
    if (!views_.isEmpty())
        sheetShown(0);
}

// Backup windows are windows of their own; they go with the workbook they
// restore to (deleted later: a restore from one of them ends this window).
SheetWindow::~SheetWindow() {
    for (const QPointer<BackupWindow>& w : std::as_const(backups_))
        if (w)
            w->close();
}

void SheetWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* save = file->addAction(QStringLiteral("保存(&S)"), this, &SheetWindow::saveWorkbook);
    save->setObjectName(QStringLiteral("actionSave"));
    save->setShortcut(QKeySequence::Save);
    QAction* backups = file->addAction(QStringLiteral("打开备份(&B)..."), this,
                                       &SheetWindow::chooseBackup);
    backups->setObjectName(QStringLiteral("actionOpenBackup"));
    file->addSeparator();
    QAction* print =
        file->addAction(QStringLiteral("打印当前工作表(&P)..."), this, &SheetWindow::printSheet);
    print->setObjectName(QStringLiteral("actionPrint"));
    print->setShortcut(QKeySequence::Print);
    QAction* pdf = file->addAction(QStringLiteral("当前工作表输出为PDF(&D)..."), this,
                                   &SheetWindow::exportPdf);
    pdf->setObjectName(QStringLiteral("actionPdf"));
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("关闭窗口(&C)"), this, &QWidget::close);
    close->setObjectName(QStringLiteral("actionClose"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    const auto add = [&](const QString& text, const char* name, void (SheetWindow::*slot)(),
                         const QList<QKeySequence>& keys) {
        QAction* a = edit->addAction(text, this, slot);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        return a;
    };
    QAction* undo =
        add(QStringLiteral("撤销(&U)"), "actionUndo", &SheetWindow::undo, {QKeySequence::Undo});
    QAction* redo =
        add(QStringLiteral("恢复(&R)"), "actionRedo", &SheetWindow::redo,
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(&edits_->history(), &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&edits_->history(), &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    edit->addSeparator();
    add(QStringLiteral("剪切(&T)"), "actionCut", &SheetWindow::cut, {QKeySequence::Cut});
    add(QStringLiteral("复制(&C)"), "actionCopy", &SheetWindow::copy, {QKeySequence::Copy});
    add(QStringLiteral("粘贴(&P)"), "actionPaste", &SheetWindow::paste, {QKeySequence::Paste});
    edit->addSeparator();
    add(QStringLiteral("向下填充(&D)"), "actionFillDown", &SheetWindow::fillDown,
        {QKeySequence(Qt::CTRL | Qt::Key_D)});
    add(QStringLiteral("向右填充(&I)"), "actionFillRight", &SheetWindow::fillRight,
        {QKeySequence(Qt::CTRL | Qt::Key_R)});
    edit->addSeparator();
    add(QStringLiteral("查找(&F)..."), "actionFind", &SheetWindow::find, {QKeySequence::Find});
}

void SheetWindow::showSheet(int sheet) {
    tabs_->setCurrentIndex(sheet);
}

int SheetWindow::currentSheet() const {
    return tabs_->currentIndex();
}

SheetView* SheetWindow::view(int sheet) const {
    return views_.value(sheet);
}

void SheetWindow::present() {
    if (!placed_) {
        placed_ = true;
        const QRect screen = this->screen()->availableGeometry();
        const QRect area = screen.adjusted(16, kBelowLauncher, -16, -16);
        resize(std::min(area.width(), 1200), std::min(area.height(), 860));
        move(area.topLeft());
    }
    show();
    raise();
    activateWindow();
    if (SheetView* v = view(currentSheet()))
        v->setFocus();
}

void SheetWindow::setBackups(const QString& workbookPath, BackupWindow::Host host) {
    workbookPath_ = workbookPath;
    backupHost_ = std::move(host);
}

// The backups folder, the newest backup chosen: Enter opens it.
void SheetWindow::chooseBackup() {
    const QString folder = backups::folder(workbookPath_);
    QFileDialog dialog(this, QStringLiteral("打开备份"), folder,
                       QStringLiteral("Excel 97-2003 工作簿 (*.xls)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.resize(860, 520);
    const QStringList newest = QDir(folder).entryList({QStringLiteral("*.xls")}, QDir::Files, QDir::Time);
    if (!newest.isEmpty())
        dialog.selectFile(newest.first());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        openBackup(dialog.selectedFiles().first());
}

BackupWindow* SheetWindow::openBackup(const QString& path) {
    if (QFileInfo(path) == QFileInfo(workbookPath_)) {
        showMessage(this, QStringLiteral("“%1”就是班级工作簿本身，请选择备份文件夹中的备份。")
                              .arg(QDir::toNativeSeparators(path)),
                    kFormTitle);
        return nullptr;
    }
    BackupWindow* window = nullptr;
    guarded(this, [&] { window = new BackupWindow(path, backupHost_); });
    if (!window)
        return nullptr;
    backups_.removeIf([](const QPointer<BackupWindow>& w) { return w.isNull(); });
    backups_.append(window);
    window->move(pos() + QPoint(40, 40));
    window->show();
    return window;
}

void SheetWindow::saveWorkbook() {
    if (guarded(this, save_))
        statusBar()->showMessage(QStringLiteral("已保存到“%1”。").arg(fileName_), 5000);
}

void SheetWindow::printSheet() {
    previewSheet(this, document_.book(), currentSheet(), fileName_, currentTitle());
}

// The dialog opens a folder that does not exist yet elsewhere: the Documents
// folder is made first.
void SheetWindow::exportPdf() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    const QString suggested =
        QDir(documents).filePath(document_.sheetNames().value(currentSheet()).trimmed() + ".pdf");
    const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("输出为PDF"), suggested,
                                                      QStringLiteral("PDF 文件 (*.pdf)"));
    if (name.isEmpty())
        return;
    if (guarded(this, [&] { writeSheetPdf(document_.book(), currentSheet(), fileName_, name); }))
        statusBar()->showMessage(QStringLiteral("已输出到“%1”。").arg(name), 5000);
}

void SheetWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void SheetWindow::sheetShown(int sheet) {
    SheetView* v = view(sheet);
    if (v && !v->hasFileSizes()) {
        v->applyFileSizes(document_.book());
        if (!v->currentIndex().isValid())
            v->setCurrentIndex(v->model()->index(0, 0));
    }
    // The keys go to the sheet shown, unless they are typed into the find
    // bar; what the formula bar held belongs to the other sheet's cell.
    QWidget* focus = QApplication::focusWidget();
    if (focus && bar_->isAncestorOf(focus))
        bar_->discard();
    if (v && isVisible() && !(focus && findBar_->isAncestorOf(focus)))
        v->setFocus();
    showCurrentCell();
    showSummary();
}

QString SheetWindow::currentTitle() const {
    return QStringLiteral("%1 - %2").arg(QFileInfo(fileName_).fileName(),
                                         document_.sheetNames().value(currentSheet()));
}

SheetView* SheetWindow::idleView() const {
    SheetView* v = view(currentSheet());
    if (!v || v->isEditing())
        return nullptr;
    // Keys typed into the formula bar or the find bar are theirs.
    QWidget* focus = QApplication::focusWidget();
    return !focus || focus == v || v->isAncestorOf(focus) ? v : nullptr;
}

void SheetWindow::guardedStep(const std::function<void()>& step) {
    try {
        step();
    } catch (const HostError& e) {
        showMessage(this, e.message(), kFormTitle);
    }
}

void SheetWindow::undo() {
    if (idleView())
        edits_->undo();
}

void SheetWindow::redo() {
    if (idleView())
        edits_->redo();
}

void SheetWindow::copy() {
    if (SheetView* v = idleView())
        copyCells(*v);
}

void SheetWindow::cut() {
    if (SheetView* v = idleView())
        guardedStep([&] { cutCells(*v, *edits_); });
}

void SheetWindow::paste() {
    if (SheetView* v = idleView())
        guardedStep([&] { pasteCells(*v, *edits_); });
}

void SheetWindow::fillDown() {
    if (SheetView* v = idleView())
        v->fill(Qt::Vertical);
}

void SheetWindow::fillRight() {
    if (SheetView* v = idleView())
        v->fill(Qt::Horizontal);
}

void SheetWindow::find() {
    findBar_->open();
}

void SheetWindow::goTo(const QString& address) {
    guardedStep([&] {
        const GoToTarget target = parseGoTo(document_, address, currentSheet());
        showSheet(target.sheet);
        view(target.sheet)->goTo(target.from, target.to);
        view(target.sheet)->setFocus();
    });
}

void SheetWindow::storeContent(const QString& content) {
    SheetView* v = view(currentSheet());
    if (!v || !v->currentIndex().isValid())
        return;
    const QModelIndex at = v->currentIndex();
    guardedStep([&] { edits_->type(currentSheet(), {at.row(), at.column()}, content); });
    showCurrentCell();
}

void SheetWindow::showCurrentCell() {
    const SheetView* v = view(currentSheet());
    if (!v)
        return;
    const QModelIndex at = v->currentIndex();
    if (!at.isValid()) {
        bar_->showCell(QString(), QString());
        return;
    }
    const CellRef ref{at.row(), at.column()};
    bar_->showCell(a1(ref), inputText(document_, currentSheet(), ref));
}

void SheetWindow::showSummary() {
    const SheetView* v = view(currentSheet());
    summary_->setText(v ? summaryText(sumSelection(document_, currentSheet(), v->selectedRanges()))
                        : QString());
}

void SheetWindow::reveal(int sheet, const QRect& cells) {
    showSheet(sheet);
    if (cells.isValid())
        view(sheet)->goTo({cells.top(), cells.left()}, {cells.bottom(), cells.right()});
}

void SheetWindow::findNext(const QString& text, bool wholeWorkbook, bool forward) {
    const SheetView* v = view(currentSheet());
    const QModelIndex at = v->currentIndex();
    const FoundCell from{currentSheet(),
                         at.isValid() ? CellRef{at.row(), at.column()} : CellRef{0, 0}};
    const auto shown = [this](int sheet, CellRef ref) {
        return view(sheet)->sheetModel()->look(ref.row, ref.column).text;
    };
    const std::optional<FoundCell> found =
        findCell(document_, text, from, wholeWorkbook, forward, shown);
    if (!found) {
        findBar_->report(text.isEmpty() ? QString() : QStringLiteral("找不到“%1”。").arg(text));
        return;
    }
    findBar_->report(
        QStringLiteral("%1!%2").arg(document_.sheetNames().value(found->sheet), a1(found->cell)));
    showSheet(found->sheet);
    view(found->sheet)->goTo(found->cell, found->cell);
}

}  // namespace velmora
