#pragma once

#include <QList>
#include <QRect>
#include <QString>

namespace velmora {

class WorkbookDocument;

// What the status bar says about the selected cells: how many numbers they
// hold, their sum and average, as spreadsheet programs show them.
struct SelectionSums {
    int count = 0;
    double sum = 0;
};

// Ranges are columns across and rows down; only the used part is read.
SelectionSums sumSelection(const WorkbookDocument& document, int sheet, const QList<QRect>& ranges);
// "平均值：…  计数：…  求和：…", or empty when the selection holds no number.
QString summaryText(const SelectionSums& sums);

}  // namespace velmora
