#pragma once

#include "workbook/cellref.h"
#include "workbook/spreadsheethost.h"

#include <QHash>
#include <QMap>
#include <QStringList>

namespace velmora::test {

// A host that keeps its sheets in memory and remembers what was asked of it:
// for windows whose tests need no file (sheet selection, quitting, failures).
class MemoryHost : public SpreadsheetHost {
public:
    explicit MemoryHost(const QStringList& sheets);

    void open(const QString& path) override;
    void show() override;
    CellValue read(const QString& sheet, const QString& address) override;
    void writeRaw(const QString& sheet, const QString& address, const QString& text) override;
    void write(const QString& sheet, const QString& address, const QString& text) override;
    void select(const QString& sheet) override;
    void save() override;
    bool quit() override;
    bool hasUnsavedChanges() override { return unsaved; }
    // The copy's path is remembered; no file is written.
    void storeCopy(const QString& path) override { copies.append(path); }
    void abandon() override { abandoned = true; }

    bool shown = false;
    bool quitted = false;
    int saves = 0;
    bool unsaved = false;  // a write since the last save
    bool abandoned = false;
    QStringList copies;
    QString openedPath;
    QString activeSheet;

private:
    QMap<CellRef, CellValue>& cells(const QString& sheet, const QString& address, CellRef& ref);

    QStringList order_;
    QHash<QString, QMap<CellRef, CellValue>> sheets_;
};

}  // namespace velmora::test
