#include "workbook/embedded/backupwindow.h"

#include "common/guard.h"
#include "common/messages.h"
#include "workbook/embedded/sheetclipboard.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/filechecks.h"
#include "workbook/hosterror.h"
#include "workbook/xls/xlserror.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace velmora {

namespace {

BackupWindow::Question& question() {
    static BackupWindow::Question q;
    return q;
}

BackupWindow::Choice askWithDialog(QWidget* parent, const QString& text, bool unsaved) {
    QMessageBox box(QMessageBox::Question, kNoticeTitle, text, QMessageBox::NoButton, parent);
    QPushButton* saveFirst =
        unsaved ? box.addButton(QStringLiteral("保存后恢复"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* restore = box.addButton(
        unsaved ? QStringLiteral("不保存，直接恢复") : QStringLiteral("恢复"),
        unsaved ? QMessageBox::DestructiveRole : QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == saveFirst && saveFirst)
        return BackupWindow::Choice::SaveThenRestore;
    return box.clickedButton() == restore ? BackupWindow::Choice::Restore
                                          : BackupWindow::Choice::Cancel;
}

std::unique_ptr<WorkbookDocument> readBackup(const QString& path) {
    const QByteArray bytes = readWorkbookFile(path);
    try {
        return std::make_unique<WorkbookDocument>(xls::XlsWorkbook::fromBytes(bytes));
    } catch (const xls::XlsError& e) {
        throw HostError(QStringLiteral("备份文件“%1”无法打开：%2")
                            .arg(QDir::toNativeSeparators(path), e.message()));
    }
}

}  // namespace

void BackupWindow::setQuestion(Question q) {
    question() = std::move(q);
}

BackupWindow::BackupWindow(const QString& path, Host host)
    : path_(path), host_(std::move(host)), document_(readBackup(path)), tabs_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("BackupWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("%1（备份，只读）").arg(QFileInfo(path).fileName()));
    tabs_->setTabPosition(QTabWidget::South);
    tabs_->setDocumentMode(true);
    const QStringList names = document_->sheetNames();
    for (int s = 0; s < names.size(); ++s) {
        auto* model = new SheetModel(*document_, s, this);
        model->setReadOnly(true);
        auto* view = new SheetView(model);
        view->setObjectName(QStringLiteral("sheet%1").arg(s));
        tabs_->addTab(view, QString(names[s]).replace(u'&', QStringLiteral("&&")));
        views_.append(view);
    }
    auto* note = new QLabel(
        QStringLiteral("这是备份“%1”，只能查看：可以选中单元格复制到班级工作簿中。"
                       "要用整个备份替换班级工作簿，请选“文件 → 恢复此备份”。")
            .arg(QFileInfo(path).fileName()),
        this);
    note->setObjectName(QStringLiteral("backupNote"));
    note->setWordWrap(true);
    note->setMargin(6);
    note->setStyleSheet(QStringLiteral("background: #fff8c4;"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(note);
    layout->addWidget(tabs_, 1);
    setCentralWidget(central);
    connect(tabs_, &QTabWidget::currentChanged, this, &BackupWindow::sheetShown);

    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    file->addAction(QStringLiteral("恢复此备份(&R)..."), this, &BackupWindow::restoreBackup)
        ->setObjectName(QStringLiteral("actionRestoreBackup"));
    file->addSeparator();
    file->addAction(QStringLiteral("关闭窗口(&C)"), this, &QWidget::close)
        ->setObjectName(QStringLiteral("actionClose"));
    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    QAction* copy = edit->addAction(QStringLiteral("复制(&C)"), this, &BackupWindow::copy);
    copy->setObjectName(QStringLiteral("actionCopy"));
    copy->setShortcut(QKeySequence::Copy);
    if (!views_.isEmpty())
        sheetShown(0);
    resize(1000, 700);
}

BackupWindow::~BackupWindow() = default;

SheetView* BackupWindow::view(int sheet) const {
    return views_.value(sheet);
}

void BackupWindow::copy() {
    if (SheetView* v = view(tabs_->currentIndex()))
        guarded(this, [v] { copyCells(*v); });
}

void BackupWindow::restoreBackup() {
    const bool unsaved = host_.hasUnsavedChanges();
    QString text = QStringLiteral("用这个备份替换班级工作簿吗？\n\n备份：%1\n\n"
                                  "替换前的工作簿会留在备份文件夹中（名字里有“恢复前”），需要时还能再恢复。")
                       .arg(QFileInfo(path_).fileName());
    if (unsaved)
        text += QStringLiteral("\n\n班级工作簿中还有尚未保存的修改。");
    const Choice choice = (question() ? question() : askWithDialog)(this, text, unsaved);
    if (choice == Choice::Cancel)
        return;
    QString kept;
    if (!guarded(this, [&] { kept = host_.restore(path_, choice == Choice::SaveThenRestore); }))
        return;
    close();
    showMessage(nullptr,
                QStringLiteral("已恢复备份“%1”。\n替换前的工作簿保存在“%2”。")
                    .arg(QFileInfo(path_).fileName(), QDir::toNativeSeparators(kept)),
                kNoticeTitle);
}

void BackupWindow::sheetShown(int sheet) {
    SheetView* v = view(sheet);
    if (v && !v->hasFileSizes()) {
        v->applyFileSizes(document_->book());
        v->setCurrentIndex(v->model()->index(0, 0));
    }
}

}  // namespace velmora
