#pragma once

#include <QJsonObject>
#include <QStringList>
#include <utility>
#include <vector>

// The formula workloads of the benchmark, described once so that our engine
// and the peer compute the same formulas: a class workbook (60 students,
// about 2,000 formulas over several sheets) and a large sheet of 10,000
// rows of 20 formulas. Cells hold numbers, texts or formulas ('=' first).
namespace velmora::bench {

struct Workload {
    QStringList sheets;
    struct Cell {
        int sheet;
        QString address;
        QString input;  // as typed
    };
    std::vector<Cell> cells;
    // One write and a cell reading its result, for the write benchmark.
    Cell write;
    std::pair<int, QString> dependent;
    int formulas() const;
};

Workload classFormulas();
Workload largeFormulas();

// The workload as a workbook file written by our engine.
QByteArray workloadFile(const Workload& w);
// The workload for the peer: {"sheets": [[row of inputs], ...], "write": ...}.
QJsonObject workloadJson(const Workload& w);

}  // namespace velmora::bench
