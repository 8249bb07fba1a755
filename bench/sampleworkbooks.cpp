#include "sampleworkbooks.h"

#include "workbook/layout.h"
#include "workbook/xls/xlsworkbook.h"

namespace velmora::bench {

using xls::XlsWorkbook;

namespace {

const QString kFamilyNames = QStringLiteral("王李张刘陈杨赵黄周吴徐孙胡朱高林何郭马罗");
const QString kWords = QStringLiteral(
    "该生本学期学习认真积极参加班级活动尊敬师长团结同学热爱劳动遵守纪律上课专心听讲作业按时完成"
    "乐于助人能主动帮助学习有困难的同学希望今后继续努力在各方面取得更大的进步");

QString words(int seed, int length) {
    QString s;
    s.reserve(length);
    for (int i = 0; i < length; ++i) s += kWords[(seed * 7 + i * 13) % kWords.size()];
    return s;
}

CellRef at(const QString& column, int row) {
    return CellRef{row - 1, *columnIndex(column)};
}

}  // namespace

QByteArray classWorkbook() {
    XlsWorkbook wb = XlsWorkbook::create(
        {layout::kSettingsSheet, layout::kArchiveSheet, layout::kScoresSheet,
         layout::kCommentsSheet, layout::kListsSheet, layout::kRatesSheet, layout::kHandbookSheet,
         layout::kRecordCardSheet, layout::kNotebookSheet});
    const int archive = wb.sheetIndex(layout::kArchiveSheet);
    const QStringList columns = layout::archiveColumns();
    for (int c = 0; c < columns.size(); ++c)
        wb.setText(archive, at(columns[c], 1), QStringLiteral("字段%1").arg(c + 1));
    for (int n = 1; n <= kStudents; ++n) {
        const int row = n + 1;
        for (int c = 0; c < columns.size(); ++c) {
            const QString text = c == 0   ? QString::number(n)
                                 : c == 2 ? kFamilyNames[n % kFamilyNames.size()] + words(n, 2)
                                          : words(n * 47 + c, 4 + (c % 9));
            wb.setText(archive, at(columns[c], row), text);
        }
        const int scores = wb.sheetIndex(layout::kScoresSheet);
        const QStringList subjects = layout::scoreColumns();
        for (int s = 0; s < subjects.size(); ++s)
            wb.setNumber(scores, at(subjects[s], row), 60 + (n * 7 + s * 11) % 41);
        wb.setText(wb.sheetIndex(layout::kCommentsSheet), at(layout::kCommentColumn, row),
                   words(n, 300));
    }
    for (int entry = 1; entry <= 40; ++entry)
        wb.setText(wb.sheetIndex(layout::kListsSheet), at(layout::kPlanColumn, entry + 1),
                   QStringLiteral("第%1周：").arg(entry) + words(entry, 40));
    return XlsWorkbook::fromBytes(wb.toBytes()).toBytes();
}

QByteArray largeWorkbook() {
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("大表")});
    for (int row = 0; row < 10000; ++row)
        for (int column = 0; column < 47; ++column)
            wb.setText(0, {row, column}, words(row * 47 + column, 6) + QString::number(row));
    return wb.toBytes();
}

}  // namespace velmora::bench
