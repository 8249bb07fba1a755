#pragma once

#include "workbook/spreadsheethost.h"

#include <QStringList>
#include <memory>

namespace velmora::test {

// Passes every request on to another host and writes it into a log:
//   "read 学生档案!A6", "writeRaw 写评语!AM6=text", "write 设置!C4=text",
//   "select 率", "save", "show", "open", "quit", "hasUnsavedChanges",
//   "storeCopy", "abandon".
// Tests read the log to see which cells an operation touched, in which order.
class CountingHost : public SpreadsheetHost {
public:
    explicit CountingHost(std::shared_ptr<SpreadsheetHost> inner);

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

    QStringList log;
    // While failing, every request is logged and then refused with HostError,
    // as a spreadsheet program that has gone away would refuse it.
    bool failing = false;
    // Log lines that start with the operation name ("read", "writeRaw", "save").
    int count(const QString& operation) const;

private:
    void pass(const QString& line);
    std::shared_ptr<SpreadsheetHost> inner_;
};

}  // namespace velmora::test
