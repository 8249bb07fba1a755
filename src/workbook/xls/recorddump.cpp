#include "workbook/xls/workbookdata.h"

#include <algorithm>

namespace velmora::xls {

QStringList recordDump(const WorkbookData& wb) {
    std::vector<const std::vector<Record>*> parts{&wb.globals};
    for (const Sheet& s : wb.sheets) parts.push_back(&s.records);
    std::sort(parts.begin(), parts.end(),
              [](auto a, auto b) { return a->front().pos < b->front().pos; });
    QStringList lines;
    for (const auto* records : parts)
        for (const Record& r : *records)
            lines << QStringLiteral("%1 %2 %3 %4")
                         .arg(r.pos, 8, 16, QLatin1Char('0'))
                         .arg(r.type, 4, 16, QLatin1Char('0'))
                         .arg(recordName(r.type).isEmpty() ? QStringLiteral("?")
                                                           : recordName(r.type))
                         .arg(r.size);
    return lines;
}

}  // namespace velmora::xls
