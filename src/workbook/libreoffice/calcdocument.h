#pragma once

#include "workbook/cellref.h"
#include "workbook/cellvalue.h"
#include "workbook/libreoffice/calccell.h"
#include "workbook/libreoffice/closewatch.h"
#include "workbook/libreoffice/interactionhandler.h"

#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <QString>
#include <rtl/ref.hxx>

namespace velmora::office {

namespace css = com::sun::star;

// Thrown when the workbook's window has been closed in the office: nothing
// can be read or written any more.
struct DocumentGone {};

// The class workbook as loaded into Calc. Every operation looks its sheet up
// by exact name and its cell by address, as the host contract requires. A
// document closed in the office lets cell calls pass without effect, which
// would lose writes: its closing is watched, and the caller asks closed()
// before and after every operation.
class CalcDocument {
public:
    // The component is a spreadsheet document. The handler answered the
    // office's questions at load; it goes on answering them for the document
    // (at a save).
    CalcDocument(const css::uno::Reference<css::lang::XComponent>& component,
                 const rtl::Reference<AbortingInteractionHandler>& questions);

    bool closed() const { return watch_->closed(); }
    css::uno::Reference<css::sheet::XSpreadsheet> sheet(const QString& name);
    css::uno::Reference<css::table::XCell> cell(
        const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, const QString& address);
    CellValue read(const css::uno::Reference<css::table::XCell>& cell);

    // The empty text empties the cell. A text longer than an .xls cell holds,
    // or a write the office did not carry out (a protected sheet), throws
    // HostError and changes nothing.
    void writeText(const css::uno::Reference<css::table::XCell>& cell, const QString& text);
    void writeNumber(const css::uno::Reference<css::table::XCell>& cell, double value);

    void activate(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet);
    void activateFirstSheet();
    void bringToFront();
    // Stores the file in its own format (Excel 97-2003). A file another
    // program changed since it was loaded is not written over: the workbook
    // goes to a copy beside it, and HostError says so. The day's first store
    // keeps the file as it was in the backups folder first (backups.h).
    void store();
    // The document as it stands to a new Excel 97-2003 file at path; HostError
    // when the office could not write it.
    void storeCopy(const QString& path);
    bool isModified();
    void discardChanges();
    // Closes the document without asking; its lock file goes with it.
    void close();

private:
    css::uno::Reference<css::frame::XModel> model_;
    css::uno::Reference<css::container::XNameAccess> sheets_;
    CellReader reader_;
    rtl::Reference<CloseWatch> watch_;
    rtl::Reference<AbortingInteractionHandler> questions_;
    QString conflictCopy_;
};

// Closes a loaded component that is not kept, without asking.
void closeComponent(const css::uno::Reference<css::lang::XComponent>& component);

}  // namespace velmora::office
