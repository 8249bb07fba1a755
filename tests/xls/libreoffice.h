#pragma once

#include <QString>
#include <QStringList>

// LibreOffice headless as an independent reader: converts .xls files, all
// in one run (it starts slowly).
namespace velmora::test {

QString sofficePath();  // empty when LibreOffice is not installed

struct ConversionRun {
    bool finished = false;
    QString output;  // what soffice printed, for failure messages
};

// Writes <outDir>/<file base name>-<sheet name>.csv for every sheet.
ConversionRun convertToCsv(const QStringList& files, const QString& outDir);
// Writes <outDir>/<file base name>.pdf: every sheet as it prints.
ConversionRun convertToPdf(const QStringList& files, const QString& outDir);
// Writes <outDir>/<file base name>.fods (flat OpenDocument, formulas included).
ConversionRun convertToFlatOds(const QStringList& files, const QString& outDir);

}  // namespace velmora::test
