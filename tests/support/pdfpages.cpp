#include "pdfpages.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace velmora::test {

bool pdfToolsAvailable() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QList<PdfPage> pdfPages(const QString& pdf) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QStringLiteral("-l"), QStringLiteral("1000"), pdf});
    info.waitForFinished();
    QList<PdfPage> pages;
    static const QRegularExpression size(QStringLiteral("Page +\\d+ size: +([\\d.]+) x ([\\d.]+)"));
    for (auto it = size.globalMatch(QString::fromUtf8(info.readAll())); it.hasNext();) {
        const auto m = it.next();
        pages.append(
            {QSize(qRound(m.captured(1).toDouble()), qRound(m.captured(2).toDouble())), QString()});
    }
    for (qsizetype n = 0; n < pages.size(); ++n) {
        QProcess text;
        const QString page = QString::number(n + 1);
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), page, QStringLiteral("-l"),
                                                 page, pdf, QStringLiteral("-")});
        text.waitForFinished();
        pages[n].text = QString::fromUtf8(text.readAll());
    }
    return pages;
}

}  // namespace velmora::test
