#pragma once

#include "workbook/formula/links.h"
#include "workbook/xls/records.h"

// The records of the workbook globals that formula tokens refer into:
// SUPBOOK with its EXTERNNAME records, EXTERNSHEET and NAME.
namespace velmora::xls {

// Reads them; damaged ones are left out (a formula referring to them shows
// #REF! or #NAME?), never an error.
formula::Links readLinks(const QByteArray& stream, const std::vector<Record>& globals,
                         const QStringList& sheetNames);

// Records for what formulas typed in added: this workbook's own SUPBOOK,
// the whole EXTERNSHEET, the NAME of a function stored by name. Throws
// XlsError when the EXTERNSHEET would not fit one record.
QByteArray ownSupBookRecord(int sheetCount);
QByteArray externSheetRecord(const std::vector<formula::ExternSheet>& entries);
QByteArray functionNameRecord(const formula::DefinedName& name);

}  // namespace velmora::xls
