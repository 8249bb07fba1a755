#pragma once

#include "workbook/xls/sst.h"

#include <map>
#include <vector>

// Which string of the shared string table each written text cell refers to.
// Texts already in the table are reused; a new text takes the place of a
// string no cell refers to any more before the table grows, so that the
// numbers of every string still in use stay as they are and the cells that
// refer to them are written back byte for byte.
namespace velmora::xls {

struct WorkbookData;

struct SstPlan {
    std::map<size_t, QString> replaced;                // by position in the table
    std::vector<QString> added;                        // after the loaded strings
    std::vector<std::map<quint32, quint32>> stringOf;  // by sheet: cell key -> string
    quint32 total = 0;                                 // references from cells after the save

    bool changed() const { return !replaced.empty() || !added.empty(); }
};

SstPlan planStrings(const WorkbookData& workbook);

}  // namespace velmora::xls
