#pragma once

#include "workbook/formula/references.h"

#include <QString>
#include <optional>

// References written as text: "A1", "$B$2:C3", "A:A", "3:5", with a sheet
// in front ("学生档案!A1", "'Sheet 1'!A1", "Sheet1:Sheet3!A1") — for
// INDIRECT and for the formula parser.
namespace velmora::formula {

struct TextRef {
    QString sheet, lastSheet;  // empty: no sheet given; lastSheet: a span's end
    RefEnd first, last;        // relative: written without '$'
    bool area = false;
};

// Reads a cell ("$A$1") at s[at]; returns the characters taken, 0 for none.
qsizetype readCell(QStringView s, qsizetype at, RefEnd& out);
// Reads a reference without a sheet: a cell, an area of cells, whole
// columns ("A:C") or whole rows ("1:3"); returns the characters taken.
qsizetype readArea(QStringView s, qsizetype at, RefEnd& first, RefEnd& last, bool& area);
// Reads a sheet prefix ("Sheet1!", "'a b'!", "S1:S3!") at s[at]; returns the
// characters taken (the '!' included), 0 for none.
qsizetype readSheetPrefix(QStringView s, qsizetype at, QString& sheet, QString& lastSheet);

// The whole text as one reference; nullopt for anything else.
std::optional<TextRef> parseReference(QStringView text);

}  // namespace velmora::formula
