#pragma once

#include <QString>

namespace velmora::xlstool {

// The sheet as it prints, into a PDF file (needs a QGuiApplication).
void printSheet(const QString& file, const QString& sheet, const QString& pdf);

}  // namespace velmora::xlstool
