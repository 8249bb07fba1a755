#pragma once

#include "workbook/spreadsheethost.h"

#include <QString>
#include <functional>
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

    bool hasUnsavedChanges() const;

    // How quit() asks about unsaved changes: returns true for 保存 (save),
    // false for 不保存 (discard). The default asks with a dialog; tests
    // answer without one.
    using SaveQuestion = std::function<bool()>;
    void setSaveQuestion(SaveQuestion question);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// On the first start there is no workbook at path yet: the template workbook
// is put there (folders created). An existing file is never replaced.
void installTemplateIfMissing(const QString& path);

}  // namespace velmora
