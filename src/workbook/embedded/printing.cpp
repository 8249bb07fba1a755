#include "workbook/embedded/printing.h"

#include "workbook/render/sheetprint.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

namespace velmora {

void previewSheet(QWidget* parent, const xls::XlsWorkbook& book, int sheet, const QString& filePath,
                  const QString& title) {
    const SheetPrint print(book, sheet, filePath);
    QPrinter printer(QPrinter::HighResolution);
    // The print places everything on the paper itself, from its corner.
    printer.setFullPage(true);
    printer.setPageLayout(print.pageLayout());
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印预览 - %1").arg(title));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&print](QPrinter* p) { print.render(p); });
    dialog.exec();
}

}  // namespace velmora
