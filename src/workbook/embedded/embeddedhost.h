#pragma once

#include "workbook/spreadsheethost.h"

#include <QString>
#include <memory>

namespace velmora {

// The spreadsheet host built into the program: the class workbook held in
// memory by our own .xls engine, with a sheet window as its visible face.
class EmbeddedHost : public SpreadsheetHost {
public:
    EmbeddedHost();
    ~EmbeddedHost() override;

    void open(const QString& path) override;
    void show() override;
    CellValue read(const QString& sheet, const QString& address) override;
    void writeRaw(const QString& sheet, const QString& address, const QString& text) override;
    void write(const QString& sheet, const QString& address, const QString& text) override;
    void select(const QString& sheet) override;
    void save() override;
    void quit() override;
    bool hasUnsavedChanges() override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace velmora
