#pragma once

#include <QList>
#include <QSize>
#include <QString>

// The pages of a PDF file as poppler-utils read them: each page's size in
// points and its text.
namespace velmora::test {

struct PdfPage {
    QSize size;
    QString text;
};

bool pdfToolsAvailable();  // pdfinfo and pdftotext
QList<PdfPage> pdfPages(const QString& pdf);

}  // namespace velmora::test
