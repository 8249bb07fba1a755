#include "workbook/connection.h"

#include "workbook/hosterror.h"

namespace velmora {

namespace {
std::unique_ptr<SpreadsheetHost>& theHost() {
    static std::unique_ptr<SpreadsheetHost> host;
    return host;
}
}  // namespace

void StudentWorkbook::start(std::unique_ptr<SpreadsheetHost> host, const QString& path) {
    host->open(path);
    host->show();
    theHost() = std::move(host);
}

void StudentWorkbook::adopt(std::unique_ptr<SpreadsheetHost> host) {
    theHost() = std::move(host);
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

void StudentWorkbook::quit() {
    ExcelApp().quit();
    theHost().reset();
}

void StudentWorkbook::close() {
    theHost().reset();
}

}  // namespace velmora
