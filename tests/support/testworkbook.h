#pragma once

#include "countinghost.h"

#include <QString>
#include <memory>

namespace velmora::test {

// A fresh class workbook with every sheet of the template, installed as the
// program's connection for the lifetime of the object. Every request the
// windows make goes through hosts().log; put() and cell() reach the cells
// without being logged.
class TestWorkbook {
public:
    TestWorkbook();
    ~TestWorkbook();
    TestWorkbook(const TestWorkbook&) = delete;
    TestWorkbook& operator=(const TestWorkbook&) = delete;

    // Seeds a text cell.
    void put(const QString& sheet, const QString& address, const QString& text);
    // A cell's current text.
    QString cell(const QString& sheet, const QString& address) const;

    CountingHost& requests() { return *counting_; }

private:
    std::shared_ptr<SpreadsheetHost> inner_;
    CountingHost* counting_ = nullptr;
};

}  // namespace velmora::test
