#pragma once

#include "countinghost.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace velmora::test {

// A fresh class workbook: the template installed into a temporary folder as
// on a first start, opened by the embedded host and installed as the
// program's connection for the lifetime of the object. Every request the
// windows make goes through requests().log; put() and cell() reach the
// cells without being logged.
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
    // The workbook file, as the last save left it.
    QString path() const;

    CountingHost& requests() { return *counting_; }

private:
    QTemporaryDir dir_;
    std::shared_ptr<SpreadsheetHost> inner_;
    CountingHost* counting_ = nullptr;
};

}  // namespace velmora::test
