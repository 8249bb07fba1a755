#pragma once

#include "workbook/cellref.h"

#include <QString>

namespace velmora {

// The cell an A1 address of a host operation names; HostError when it names
// no cell of an .xls sheet.
CellRef hostCell(const QString& address);

}  // namespace velmora
