#pragma once

#include <QtGlobal>
#include <vector>

// What a workbook uses without saying so: the colour palette of Excel 97
// (indices 8 to 63; a PALETTE record replaces it).
namespace velmora::xls {

const std::vector<quint32>& defaultPalette();

}  // namespace velmora::xls
