#include "workbook/libreoffice/calcdocument.h"

#include "workbook/backups.h"
#include "workbook/hostcell.h"
#include "workbook/hosterror.h"
#include "workbook/libreoffice/conflictcopy.h"
#include "workbook/libreoffice/unostring.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseBroadcaster.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <QDir>
#include <QUrl>

namespace velmora::office {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

// Calc lets some writes pass without effect or error (clearing a cell of a
// protected sheet): each write is read back.
[[noreturn]] void notWritten() {
    throw HostError(
        QStringLiteral("LibreOffice 没有写入这个单元格（工作表可能受保护），工作簿没有改动。"));
}

}  // namespace

CalcDocument::CalcDocument(const Reference<css::lang::XComponent>& component,
                           const rtl::Reference<AbortingInteractionHandler>& questions)
    : model_(component, UNO_QUERY_THROW),
      sheets_(Reference<css::sheet::XSpreadsheetDocument>(component, UNO_QUERY_THROW)->getSheets(),
              UNO_QUERY_THROW),
      reader_(component),
      watch_(new CloseWatch),
      questions_(questions) {
    Reference<css::util::XCloseBroadcaster>(model_, UNO_QUERY_THROW)
        ->addCloseListener(watch_.get());
}

Reference<css::sheet::XSpreadsheet> CalcDocument::sheet(const QString& name) {
    try {
        return Reference<css::sheet::XSpreadsheet>(sheets_->getByName(toOUString(name)),
                                                   UNO_QUERY_THROW);
    } catch (const css::container::NoSuchElementException&) {
        throw HostError(QStringLiteral("工作簿中没有名为“%1”的工作表。").arg(name));
    }
}

Reference<css::table::XCell> CalcDocument::cell(const Reference<css::sheet::XSpreadsheet>& sheet,
                                                const QString& address) {
    const CellRef ref = hostCell(address);
    return sheet->getCellByPosition(ref.column, ref.row);
}

CellValue CalcDocument::read(const Reference<css::table::XCell>& cell) {
    return reader_.read(cell);
}

void CalcDocument::writeText(const Reference<css::table::XCell>& cell, const QString& text) {
    // What an .xls cell can hold.
    constexpr qsizetype kMaxCellText = 32767;
    if (text.size() > kMaxCellText)
        throw HostError(QStringLiteral("一个单元格最多能存放 %1 个字符，这段文字有 %2 个字符。")
                            .arg(kMaxCellText)
                            .arg(text.size()));
    if (text.isEmpty()) {
        cell->setFormula(rtl::OUString());
        if (cell->getType() != css::table::CellContentType_EMPTY)
            notWritten();
        return;
    }
    // Line breaks are LF inside cells, as Excel stores them.
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    // Through the cell's text, never as a formula: "=1+2" and "007" stay text.
    const Reference<css::text::XText> content(cell, UNO_QUERY_THROW);
    content->setString(toOUString(lines));
    if (cell->getType() != css::table::CellContentType_TEXT ||
        toQString(content->getString()) != lines)
        notWritten();
}

void CalcDocument::writeNumber(const Reference<css::table::XCell>& cell, double value) {
    cell->setValue(value);
    if (cell->getType() != css::table::CellContentType_VALUE || cell->getValue() != value)
        notWritten();
}

void CalcDocument::activate(const Reference<css::sheet::XSpreadsheet>& sheet) {
    const Reference<css::sheet::XSpreadsheetView> view(model_->getCurrentController(), UNO_QUERY);
    if (!view.is())
        throw DocumentGone{};
    view->setActiveSheet(sheet);
}

void CalcDocument::activateFirstSheet() {
    const Reference<css::container::XIndexAccess> sheets(sheets_, UNO_QUERY_THROW);
    if (sheets->getCount() > 0)
        activate(Reference<css::sheet::XSpreadsheet>(sheets->getByIndex(0), UNO_QUERY_THROW));
}

void CalcDocument::bringToFront() {
    const Reference<css::frame::XController> controller = model_->getCurrentController();
    if (!controller.is())
        throw DocumentGone{};
    const Reference<css::awt::XWindow> window = controller->getFrame()->getContainerWindow();
    window->setVisible(true);
    if (const Reference<css::awt::XTopWindow> top{window, UNO_QUERY}; top.is())
        top->toFront();
}

// The office writes a new file beside the old one and renames it over the
// old one: a save that fails leaves the file as it was.
void CalcDocument::store() {
    backups::beforeSave(QUrl(toQString(model_->getURL())).toLocalFile());
    questions_->take();
    try {
        Reference<css::frame::XStorable>(model_, UNO_QUERY_THROW)->store();
    } catch (const css::io::IOException& e) {
        const AbortingInteractionHandler::Refusal asked = questions_->take();
        if (asked.about == AbortingInteractionHandler::Refusal::About::ChangedByOthers)
            storeConflictCopy(Reference<css::frame::XStorable>(model_, UNO_QUERY_THROW),
                              conflictCopy_);
        throw HostError(
            QStringLiteral("LibreOffice 没有保存工作簿，原来的文件没有改动。\n%1")
                .arg(asked.description.isEmpty() ? toQString(e.Message) : asked.description));
    }
}

void CalcDocument::storeCopy(const QString& path) {
    try {
        storeCopyTo(Reference<css::frame::XStorable>(model_, UNO_QUERY_THROW), path);
    } catch (const css::io::IOException& e) {
        throw HostError(QStringLiteral("LibreOffice 无法写入文件“%1”：%2")
                            .arg(QDir::toNativeSeparators(path), toQString(e.Message)));
    }
}

bool CalcDocument::isModified() {
    return Reference<css::util::XModifiable>(model_, UNO_QUERY_THROW)->isModified();
}

void CalcDocument::discardChanges() {
    Reference<css::util::XModifiable>(model_, UNO_QUERY_THROW)->setModified(false);
}

void CalcDocument::close() {
    closeComponent(Reference<css::lang::XComponent>(model_, UNO_QUERY));
}

void closeComponent(const Reference<css::lang::XComponent>& component) {
    const Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
    try {
        if (closeable.is())
            closeable->close(true);
        else if (component.is())
            component->dispose();
    } catch (const css::util::CloseVetoException&) {
        // Someone in the office keeps it open for now; it closes when they let go.
    }
}

}  // namespace velmora::office
