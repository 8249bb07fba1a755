#include "workbook/embedded/sheetwindow.h"

#include "common/guard.h"
#include "common/messages.h"
#include "workbook/embedded/printing.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/workbookdocument.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>

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
      tabs_(new QTabWidget(this)) {
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
        connect(model, &SheetModel::refused, this,
                [this](const QString& message) { showMessage(this, message, kFormTitle); });
        // A tab's text treats '&' as a shortcut mark; sheet names show as stored.
        tabs_->addTab(view, QString(names[s]).replace(u'&', QStringLiteral("&&")));
        views_.append(view);
    }
    setCentralWidget(tabs_);
    connect(tabs_, &QTabWidget::currentChanged, this, &SheetWindow::sheetShown);
    connect(&document, &WorkbookDocument::modifiedChanged, this, &QWidget::setWindowModified);
    setWindowModified(document.isModified());
    buildMenus();
    if (!views_.isEmpty())
        sheetShown(0);
}

void SheetWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    QAction* save = file->addAction(QStringLiteral("保存(&S)"), this, &SheetWindow::saveWorkbook);
    save->setObjectName(QStringLiteral("actionSave"));
    save->setShortcut(QKeySequence::Save);
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
}

void SheetWindow::saveWorkbook() {
    if (guarded(this, save_))
        statusBar()->showMessage(QStringLiteral("已保存到“%1”。").arg(fileName_), 5000);
}

void SheetWindow::printSheet() {
    previewSheet(this, document_.book(), currentSheet(), currentTitle());
}

void SheetWindow::exportPdf() {
    const QString suggested =
        QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .filePath(document_.sheetNames().value(currentSheet()).trimmed() + ".pdf");
    const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("输出为PDF"), suggested,
                                                      QStringLiteral("PDF 文件 (*.pdf)"));
    if (name.isEmpty())
        return;
    if (guarded(this,
                [&] { exportSheetPdf(document_.book(), currentSheet(), currentTitle(), name); }))
        statusBar()->showMessage(QStringLiteral("已输出到“%1”。").arg(name), 5000);
}

void SheetWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void SheetWindow::sheetShown(int sheet) {
    if (SheetView* v = view(sheet); v && !v->hasFileSizes())
        v->applyFileSizes(document_.book());
}

QString SheetWindow::currentTitle() const {
    return QStringLiteral("%1 - %2").arg(QFileInfo(fileName_).fileName(),
                                         document_.sheetNames().value(currentSheet()));
}

}  // namespace velmora
