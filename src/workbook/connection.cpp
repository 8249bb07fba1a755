#include "workbook/connection.h"

#include "workbook/conflictcopy.h"
#include "workbook/hosterror.h"

namespace velmora {

namespace {
std::unique_ptr<SpreadsheetHost>& theHost() {
    static std::unique_ptr<SpreadsheetHost> host;
    return host;
}

QString& thePath() {
    static QString path;
    return path;
}
}  // namespace

void StudentWorkbook::start(std::unique_ptr<SpreadsheetHost> host, const QString& path) {
    host->open(path);
    host->show();
    theHost() = std::move(host);
    thePath() = path;
}

void StudentWorkbook::adopt(std::unique_ptr<SpreadsheetHost> host, const QString& path) {
    theHost() = std::move(host);
    thePath() = path;
}

bool StudentWorkbook::isOpen() {
    return theHost() != nullptr;
}

SpreadsheetHost& StudentWorkbook::ExcelApp() {
    if (!theHost())
        throw HostError(QStringLiteral("工作簿尚未打开。"));
    return *theHost();
}

QString StudentWorkbook::read(const QString& sheet, const QString& address) {
    return ExcelApp().read(sheet, address).toText();
}

void StudentWorkbook::writeRaw(const QString& sheet, const QString& address, const QString& text) {
    ExcelApp().writeRaw(sheet, address, text);
}

void StudentWorkbook::write(const QString& sheet, const QString& address, const QString& text) {
    ExcelApp().write(sheet, address, text);
}

void StudentWorkbook::select(const QString& sheet) {
    ExcelApp().select(sheet);
}

void StudentWorkbook::save() {
    ExcelApp().save();
}

bool StudentWorkbook::quit() {
    if (!ExcelApp().quit())
        return false;
    theHost().reset();
    return true;
}

void StudentWorkbook::close() {
    theHost().reset();
}

QString StudentWorkbook::keepUnsavedInCopy(const QDateTime& now) {
    SpreadsheetHost& host = ExcelApp();
    if (!host.hasUnsavedChanges())
        return {};
    if (thePath().isEmpty())
        throw HostError(QStringLiteral("不知道工作簿文件在哪里，无法另存副本。"));
    const QString copy = conflictCopyPath(thePath(), now);
    host.storeCopy(copy);
    return copy;
}

// The host object may be the caller of the dialog that the process ends
// under: it is released, never destroyed, so no code of it runs again.
void StudentWorkbook::abandon() {
    if (SpreadsheetHost* host = theHost().release())
        host->abandon();
}

}  // namespace velmora
