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
    bool quit() override;
    bool hasUnsavedChanges() override;
    void storeCopy(const QString& path) override;
    void abandon() override;

    // Replaces the workbook file with a backup (backups.h) and opens it
    // anew; unsaved changes are saved first when saveFirst, else dropped.
    // Returns where the replaced workbook was kept. On HostError the
    // workbook is as it was.
    QString restoreBackup(const QString& backup, bool saveFirst);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace velmora
