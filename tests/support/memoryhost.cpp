#include "memoryhost.h"

#include "workbook/hosterror.h"

namespace velmora::test {

MemoryHost::MemoryHost(const QStringList& sheets) : order_(sheets) {
    for (const QString& s : sheets)
        sheets_.insert(s, {});
    if (!sheets.isEmpty())
        activeSheet = sheets.first();
}

QMap<CellRef, CellValue>& MemoryHost::cells(const QString& sheet, const QString& address,
                                            CellRef& ref) {
    auto it = sheets_.find(sheet);
    if (it == sheets_.end())
        throw HostError(QStringLiteral("工作簿中没有工作表“%1”。").arg(sheet));
    const auto parsed = parseA1(address);
    if (!parsed)
        throw HostError(QStringLiteral("单元格地址“%1”无效。").arg(address));
    ref = *parsed;
    return *it;
}

void MemoryHost::open(const QString& path) {
    openedPath = path;
}

void MemoryHost::show() {
    shown = true;
}

CellValue MemoryHost::read(const QString& sheet, const QString& address) {
    CellRef ref;
    return cells(sheet, address, ref).value(ref);
}

void MemoryHost::writeRaw(const QString& sheet, const QString& address, const QString& text) {
    CellRef ref;
    auto& c = cells(sheet, address, ref);
    unsaved = true;
    if (text.isEmpty())
        c.remove(ref);
    else
        c.insert(ref, CellValue::makeText(text));
}

void MemoryHost::write(const QString& sheet, const QString& address, const QString& text) {
    CellRef ref;
    auto& c = cells(sheet, address, ref);
    const CellValue v = CellValue::typed(text);
    unsaved = true;
    if (v.isEmpty())
        c.remove(ref);
    else
        c.insert(ref, v);
}

void MemoryHost::select(const QString& sheet) {
    if (!sheets_.contains(sheet))
        throw HostError(QStringLiteral("工作簿中没有工作表“%1”。").arg(sheet));
    activeSheet = sheet;
}

void MemoryHost::save() {
    ++saves;
    unsaved = false;
}

bool MemoryHost::quit() {
    quitted = true;
    return true;
}

}  // namespace velmora::test
