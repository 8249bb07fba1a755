#include "corpusfile.h"
#include "workbook/xls/bytes.h"
#include "workbook/xls/container.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlsworkbook.h"
#include "workbookparts.h"
#include "xlrdview.h"

#include <QFileInfo>
#include <QTest>

using namespace velmora;
using namespace velmora::xls;
using namespace velmora::test;

// What the writer changes in a loaded file, and what it keeps.
class TestXlsWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void unchangedWorkbookIsRewrittenByteForByte();
    void rebuiltStringTableKeepsEveryString();
    void writeInsideMulRecordSplitsOnlyThere_data();
    void writeInsideMulRecordSplitsOnlyThere();
    void knownTextsAndFreedStringsAreReused();
    void rowsBlocksAndIndexStayConsistent();
};

void TestXlsWriter::unchangedWorkbookIsRewrittenByteForByte() {
    for (const QString& file : test::corpusFiles()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const WorkbookData wb = parse(f.readAll());
        QVERIFY2(writeWorkbookStream(wb) == wb.stream, qPrintable(QFileInfo(file).fileName()));
    }
}

void TestXlsWriter::rebuiltStringTableKeepsEveryString() {
    // Writing the string table anew reproduces Excel's own layout for most
    // files; the others differ only in where records are split.
    int identical = 0, files = 0;
    for (const QString& file : test::corpusFiles()) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const WorkbookData wb = parse(f.readAll());
        Container c = wb.container;
        c.entries[wb.streamEntry].data = writeWorkbookStream(wb, true);
        identical += c.entries[wb.streamEntry].data == wb.stream;
        ++files;
        const WorkbookData back = readWorkbook(c);
        QCOMPARE(back.strings.size(), wb.strings.size());
        for (size_t i = 0; i < wb.strings.size(); ++i) {
            QCOMPARE(back.strings.text(i), wb.strings.text(i));
            QCOMPARE(back.strings.hasExtra(i), wb.strings.hasExtra(i));
        }
        for (const Record& r : back.globals) QVERIFY(r.size <= kMaxRecordBody);
    }
    QVERIFY2(identical * 2 >= files,
             qPrintable(QStringLiteral("%1 of %2").arg(identical).arg(files)));
}

void TestXlsWriter::writeInsideMulRecordSplitsOnlyThere_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<quint16>("type");
    QTest::newRow("MULRK") << QStringLiteral("poi_12843-2_zh_multiline_rich.xls") << rt::kMulRk;
    QTest::newRow("MULBLANK") << QStringLiteral("sheetjs_merge_cells.xls") << rt::kMulBlank;
}

void TestXlsWriter::writeInsideMulRecordSplitsOnlyThere() {
    QFETCH(QString, file);
    QFETCH(quint16, type);
    const QByteArray bytes = test::corpusBytes(file);
    const WorkbookData before = parse(bytes);
    // The first record of the kind with at least three cells: write the middle one.
    int sheet = -1;
    CellRef middle;
    for (size_t w = 0; w < before.worksheets.size() && sheet < 0; ++w) {
        const Sheet& s = before.sheets[before.worksheets[w]];
        for (const Record& r : s.records) {
            const int width = type == rt::kMulRk ? 6 : 2;
            if (r.type == type && (r.size - 6) / width >= 3) {
                const char* b = r.body(before.stream);
                sheet = int(w);
                middle = {u16(b), u16(b + 2) + 1};
                break;
            }
        }
    }
    QVERIFY(sheet >= 0);
    XlsWorkbook wb = XlsWorkbook::fromBytes(bytes);
    const auto others = texts(wb, sheet);
    wb.setText(sheet, middle, QStringLiteral("中间"));
    const QByteArray saved = wb.toBytes();
    const XlsWorkbook back = XlsWorkbook::fromBytes(saved);
    auto expected = others;
    expected[middle] = QStringLiteral("中间");
    QCOMPARE(texts(back, sheet), expected);

    const WorkbookData after = parse(saved);
    const Sheet& s0 = before.sheets[before.worksheets[size_t(sheet)]];
    const Sheet& s1 = after.sheets[after.worksheets[size_t(sheet)]];
    // Formats stay with their cells; one record became at most three.
    int cells = 0;
    s0.forEachSlot(before.stream, [&](const CellSlot& slot) {
        const auto now = s1.slot(after.stream, slot.key);
        QVERIFY(now);
        QCOMPARE(cellXf(after.stream, s1, *now), cellXf(before.stream, s0, slot));
        ++cells;
    });
    QVERIFY(cells > 0);
    const int mulBefore = countRecords(s0, type), mulAfter = countRecords(s1, type);
    QVERIFY(mulAfter >= mulBefore - 1 && mulAfter <= mulBefore + 1);
    QCOMPARE(countRecords(s1, rt::kLabelSst), countRecords(s0, rt::kLabelSst) + 1);
}

void TestXlsWriter::knownTextsAndFreedStringsAreReused() {
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("写评语")});
    wb.setText(0, {1, 0}, QStringLiteral("同一句话"));
    wb.setText(0, {2, 0}, QStringLiteral("同一句话"));
    QByteArray saved = wb.toBytes();
    QCOMPARE(parse(saved).strings.size(), size_t(1));
    // A comment rewritten again and again does not make the table grow.
    for (int round = 0; round < 20; ++round) {
        XlsWorkbook next = XlsWorkbook::fromBytes(saved);
        next.setText(0, {1, 0}, QStringLiteral("第%1次改写的评语").arg(round));
        saved = next.toBytes();
    }
    const WorkbookData last = parse(saved);
    QVERIFY(last.strings.size() <= 2);
    const XlsWorkbook back = XlsWorkbook::fromBytes(saved);
    QCOMPARE(back.cell(0, {1, 0}).text, QStringLiteral("第19次改写的评语"));
    QCOMPARE(back.cell(0, {2, 0}).text, QStringLiteral("同一句话"));
}

void TestXlsWriter::rowsBlocksAndIndexStayConsistent() {
    // 70 new rows in a sheet that keeps an INDEX: three row blocks, each
    // closed by a DBCELL that INDEX points at.
    const QByteArray bytes = test::corpusBytes(QStringLiteral("hutool_aaa_excel2016_zh_sheet.xls"));
    XlsWorkbook wb = XlsWorkbook::fromBytes(bytes);
    for (int row = 100; row < 170; ++row)
        wb.setText(0, {row, row % 7}, QStringLiteral("第%1行").arg(row));
    const WorkbookData after = parse(wb.toBytes());
    const Sheet& s = after.sheets[after.worksheets[0]];
    const auto index = std::find_if(s.records.begin(), s.records.end(),
                                    [](const Record& r) { return r.type == rt::kIndex; });
    QVERIFY(index != s.records.end());
    const char* b = index->body(after.stream);
    const int blocks = (index->size - 16) / 4;
    QCOMPARE(blocks, countRecords(s, rt::kDbCell));
    QVERIFY(blocks >= 3);
    for (int i = 0; i < blocks; ++i) {
        const qint64 at = u32(b + 16 + 4 * i);
        QCOMPARE(u16(after.stream.constData() + at), rt::kDbCell);
        // Its first field leads back to the block's first ROW record; each
        // further field leads from the second ROW (then from the previous
        // row's first cell) to the first cell of the next row of the block.
        const char* s = after.stream.constData();
        const qint64 firstRow = at - u32(s + at + 4);
        QCOMPARE(u16(s + firstRow), rt::kRow);
        const int rows = (u16(s + at + 2) - 4) / 2;
        qint64 cell = firstRow + 4 + u16(s + firstRow + 2);
        for (int r = 0; r < rows; ++r) {
            const qint64 rowRecord = firstRow + 20 * r;
            QCOMPARE(u16(s + rowRecord), rt::kRow);
            const quint16 offset = u16(s + at + 8 + 2 * r);
            if (offset == 0)
                continue;
            cell += offset;
            QVERIFY(u16(s + cell) != rt::kRow && u16(s + cell) != rt::kDbCell);
            QCOMPARE(u16(s + cell + 4), u16(s + rowRecord + 4));  // the same row
        }
    }
    const qint64 defColWidth = u32(b + 12);
    QCOMPARE(u16(after.stream.constData() + defColWidth), rt::kDefColWidth);
    QCOMPARE(u32(b + 8), 170u);  // last row + 1
}

QTEST_GUILESS_MAIN(TestXlsWriter)
#include "test_xls_writer.moc"
