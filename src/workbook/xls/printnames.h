#pragma once

#include "workbook/formula/links.h"
#include "workbook/xls/pagesetup.h"

#include <QByteArray>
#include <vector>

// The built-in names Print_Area and Print_Titles, which say what of a sheet
// prints and what repeats on every page. Their formulas name the sheet
// through an EXTERNSHEET entry of the workbook's own SUPBOOK.
namespace velmora::xls {

// Fills in the print area and titles that the names give the sheet (its
// index among all the workbook's sheets). Names that are damaged or that
// say something other than areas of that sheet are left out.
void readPrintNames(PageSetup& setup, int sheet, const formula::Links& links);

// The SUPBOOK, EXTERNSHEET and NAME records for the print areas and titles
// of a new workbook's sheets (setups in sheet order); empty when no sheet
// has any. EXTERNSHEET entry i is sheet i.
QByteArray printNameRecords(const std::vector<const PageSetup*>& setups);

}  // namespace velmora::xls
