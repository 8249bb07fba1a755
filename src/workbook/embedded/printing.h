#pragma once

#include "workbook/xls/xlsworkbook.h"

#include <QString>

class QWidget;

namespace velmora {

// The print preview of a sheet on the paper and in the orientation of the
// file's page setup, from which the teacher prints (or prints to a PDF
// file). filePath is the workbook's, for headers and footers that name it.
void previewSheet(QWidget* parent, const xls::XlsWorkbook& book, int sheet, const QString& filePath,
                  const QString& title);

}  // namespace velmora
