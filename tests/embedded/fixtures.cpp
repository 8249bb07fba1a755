#include "fixtures.h"

#include "workbook/cellref.h"
#include "workbook/xls/xlsworkbook.h"

#include <QFile>
#include <QTest>

namespace velmora::test {

void writeWorkbook(const QString& path, const WorkbookContent& content) {
    xls::XlsWorkbook book = xls::XlsWorkbook::create(content.sheets);
    for (auto sheet = content.cells.begin(); sheet != content.cells.end(); ++sheet) {
        const int s = book.sheetIndex(sheet.key());
        for (auto cell = sheet->begin(); cell != sheet->end(); ++cell) {
            const CellValue v = CellValue::typed(cell.value());
            if (v.kind == CellValue::Kind::Number)
                book.setNumber(s, *parseA1(cell.key()), v.number);
            else
                book.setText(s, *parseA1(cell.key()), cell.value());
        }
    }
    for (auto sheet = content.formulas.begin(); sheet != content.formulas.end(); ++sheet)
        for (auto cell = sheet->begin(); cell != sheet->end(); ++cell)
            book.setFormula(book.sheetIndex(sheet.key()), *parseA1(cell.key()), cell.value());
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

}  // namespace velmora::test
