#include "fixtures.h"

#include "workbook/cellref.h"
#include "workbook/xls/xlsworkbook.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

namespace velmora::test {

void writeWorkbook(const QString& path, const WorkbookSpec& spec) {
    xls::XlsWorkbook book = xls::XlsWorkbook::create(spec.sheets);
    for (auto sheet = spec.cells.begin(); sheet != spec.cells.end(); ++sheet) {
        const int s = book.sheetIndex(sheet.key());
        for (auto cell = sheet->begin(); cell != sheet->end(); ++cell) {
            const CellValue v = CellValue::typed(cell.value());
            if (v.kind == CellValue::Kind::Number)
                book.setNumber(s, *parseA1(cell.key()), v.number);
            else
                book.setText(s, *parseA1(cell.key()), cell.value());
        }
    }
    writeBytes(path, book.toBytes());
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

std::optional<QJsonObject> readWithXlrd(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(EMBEDDED_TEST_DIR "/xlsread.py"), path});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return std::nullopt;
    if (p.exitCode() != 0) {
        const QByteArray err = p.readAllStandardError();
        if (err.contains("No module named"))
            return std::nullopt;
        qWarning("xlrd failed on %s: %s", qPrintable(path), err.constData());
        return QJsonObject();
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonArray xlrdCell(const QJsonObject& reading, const QString& sheet, const QString& address) {
    return reading.value(QStringLiteral("cells"))
        .toObject()
        .value(sheet)
        .toObject()
        .value(address)
        .toArray();
}

}  // namespace velmora::test
