#include "workbook/hostcell.h"

#include "workbook/hosterror.h"

namespace velmora {

CellRef hostCell(const QString& address) {
    const std::optional<CellRef> ref = parseA1(address);
    if (!ref)
        throw HostError(QStringLiteral("“%1”不是有效的单元格地址。").arg(address));
    return *ref;
}

}  // namespace velmora
