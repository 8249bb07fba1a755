#include "printcommand.h"

#include "commands.h"
#include "workbook/render/fontfaces.h"
#include "workbook/render/sheetprint.h"
#include "workbook/xls/xlsworkbook.h"

namespace velmora::xlstool {

void printSheet(const QString& file, const QString& sheet, const QString& pdf) {
    installFontSubstitutions();
    const xls::XlsWorkbook wb = xls::XlsWorkbook::load(file);
    writeSheetPdf(wb, sheetOf(wb, sheet), file, pdf);
}

}  // namespace velmora::xlstool
