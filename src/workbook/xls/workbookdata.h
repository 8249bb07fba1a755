#pragma once

#include "workbook/formula/links.h"
#include "workbook/xls/container.h"
#include "workbook/xls/formats.h"
#include "workbook/xls/sheet.h"
#include "workbook/xls/sst.h"

#include <QHash>
#include <optional>

// The loaded workbook as the reader leaves it and the writer takes it: the
// compound file, the workbook stream with its records, the shared strings,
// the formats and every sheet.
namespace velmora::xls {

struct WorkbookData {
    QByteArray file;  // the file as loaded; empty for a new workbook
    Container container;
    size_t streamEntry = 0;  // the workbook stream among container.entries
    QByteArray stream;
    std::vector<Record> globals;
    SharedStrings strings;
    CellFormats formats;
    int digitWidthPx = 7;            // width of '0' in the default font, for column widths
    std::vector<Sheet> sheets;       // every BOUNDSHEET, in workbook order
    std::vector<size_t> worksheets;  // the worksheets among them
    formula::Links links;            // what formula tokens refer to
    // How many of each the file holds; formulas typed in may add more.
    size_t loadedSupBooks = 0, loadedExternSheets = 0, loadedNames = 0;

    // Plain strings of the table by text, built when a save first needs it.
    mutable std::optional<QHash<QStringView, quint32>> plainStrings;

    bool hasEdits() const;
    bool hasFormulas() const;
};

// Takes a compound file apart. Throws XlsError for anything that is not a
// readable BIFF8 workbook.
WorkbookData readWorkbook(Container container);

// Formula results to write into the records, by sheet (as in
// WorkbookData::sheets): cell key -> result.
using FormulaResults = std::vector<std::map<quint32, formula::Value>>;

// The workbook stream with every edit merged in. rebuildStrings writes the
// shared string table anew even when no string changed; results go into
// the FORMULA records of their cells (with STRING records for texts).
QByteArray writeWorkbookStream(const WorkbookData& workbook, bool rebuildStrings = false,
                               const FormulaResults* results = nullptr);

struct SheetLayout;

// The stream of a new workbook holding these worksheets, without values.
// Throws XlsError for a name a workbook cannot hold.
QByteArray newWorkbookStream(const std::vector<SheetLayout>& sheets);

}  // namespace velmora::xls

namespace velmora::xls {

// One line per record of the workbook stream, in stream order:
// "offset type name length" (offset and type in hexadecimal).
QStringList recordDump(const WorkbookData& workbook);

}  // namespace velmora::xls
