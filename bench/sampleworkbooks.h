#pragma once

#include <QByteArray>

// Workbooks for the benchmark, made with the engine itself.
namespace velmora::bench {

// A class workbook as a teacher's looks after a year: 60 students with all
// 47 record-card fields in Chinese, 300-character comments, scores for 16
// subjects and 40 plan entries.
QByteArray classWorkbook();

// 10,000 rows of 47 columns of Chinese text on one sheet.
QByteArray largeWorkbook();

inline constexpr int kStudents = 60;

}  // namespace velmora::bench
