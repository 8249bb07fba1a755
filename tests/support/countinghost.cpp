#include "countinghost.h"

#include "workbook/hosterror.h"

namespace velmora::test {

CountingHost::CountingHost(std::shared_ptr<SpreadsheetHost> inner) : inner_(std::move(inner)) {}

int CountingHost::count(const QString& operation) const {
    int n = 0;
    for (const QString& line : log)
        if (line == operation || line.startsWith(operation + u' '))
            ++n;
    return n;
}

void CountingHost::pass(const QString& line) {
    log << line;
    if (failing)
        throw HostError(QStringLiteral("电子表格程序没有响应。"));
}

void CountingHost::open(const QString& path) {
    pass(QStringLiteral("open"));
    inner_->open(path);
}

void CountingHost::show() {
    pass(QStringLiteral("show"));
    inner_->show();
}

CellValue CountingHost::read(const QString& sheet, const QString& address) {
    pass(QStringLiteral("read %1!%2").arg(sheet, address));
    return inner_->read(sheet, address);
}

void CountingHost::writeRaw(const QString& sheet, const QString& address, const QString& text) {
    pass(QStringLiteral("writeRaw %1!%2=%3").arg(sheet, address, text));
    inner_->writeRaw(sheet, address, text);
}

void CountingHost::write(const QString& sheet, const QString& address, const QString& text) {
    pass(QStringLiteral("write %1!%2=%3").arg(sheet, address, text));
    inner_->write(sheet, address, text);
}

void CountingHost::select(const QString& sheet) {
    pass(QStringLiteral("select %1").arg(sheet));
    inner_->select(sheet);
}

void CountingHost::save() {
    pass(QStringLiteral("save"));
    inner_->save();
}

bool CountingHost::quit() {
    pass(QStringLiteral("quit"));
    return inner_->quit();
}

bool CountingHost::hasUnsavedChanges() {
    pass(QStringLiteral("hasUnsavedChanges"));
    return inner_->hasUnsavedChanges();
}

void CountingHost::storeCopy(const QString& path) {
    pass(QStringLiteral("storeCopy"));
    inner_->storeCopy(path);
}

void CountingHost::abandon() {
    pass(QStringLiteral("abandon"));
    inner_->abandon();
}

}  // namespace velmora::test
