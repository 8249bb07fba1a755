#include "formulaworkloads.h"

#include "workbook/cellref.h"
#include "workbook/xls/xlsworkbook.h"

#include <QJsonArray>
#include <algorithm>
#include <array>

namespace velmora::bench {

namespace {

QString cell(const char* column, int row) {
    return QString::fromLatin1(column) + QString::number(row);
}

}  // namespace

int Workload::formulas() const {
    return int(std::count_if(cells.begin(), cells.end(),
                             [](const Cell& c) { return c.input.startsWith(u'='); }));
}

Workload classFormulas() {
    Workload w;
    w.sheets = {QStringLiteral("学生档案"), QStringLiteral("各科成绩"), QStringLiteral("率"),
                QStringLiteral("写评语")};
    const QString family = QStringLiteral("王李张刘陈杨赵黄周吴徐孙胡朱高林何郭马罗");
    const char* subjects[] = {"C", "D", "E", "F", "G", "H", "I", "J", "K"};
    const char* ranks[] = {"Q", "R", "S", "T", "U", "V", "W", "X", "Y"};
    const char* grades[] = {"Z", "AA", "AB", "AC", "AD", "AE", "AF", "AG", "AH"};
    for (int n = 1; n <= 60; ++n) {
        const int r = n + 1;
        const QString row = QString::number(r);
        w.cells.push_back({0, cell("C", r), family[n % family.size()] + QStringLiteral("同学%1").arg(n)});
        w.cells.push_back({1, cell("B", r), QStringLiteral("='学生档案'!C") + row});
        for (int s = 0; s < 9; ++s) {
            w.cells.push_back({1, cell(subjects[s], r), QString::number(40 + (n * 7 + s * 13) % 61)});
            w.cells.push_back({1, cell(ranks[s], r), QStringLiteral("=RANK(%1%2,%1$2:%1$61)").arg(QLatin1String(subjects[s]), row)});
            w.cells.push_back({1, cell(grades[s], r), QStringLiteral("=IF(%1%2>=60,\"及格\",\"补考\")").arg(QLatin1String(subjects[s]), row)});
        }
        const QString range = QStringLiteral("C%1:K%1").arg(r);
        w.cells.push_back({1, cell("L", r), QStringLiteral("=SUM(%1)").arg(range)});
        w.cells.push_back({1, cell("M", r), QStringLiteral("=ROUND(AVERAGE(%1),1)").arg(range)});
        w.cells.push_back({1, cell("N", r), QStringLiteral("=RANK(L%1,$L$2:$L$61)").arg(r)});
        w.cells.push_back({1, cell("O", r), QStringLiteral("=IF(M%1>=85,\"优秀\",IF(M%1>=60,\"及格\",\"不及格\"))").arg(r)});
        w.cells.push_back({1, cell("P", r), QStringLiteral("=COUNTIF(%1,\">=60\")").arg(range)});
        w.cells.push_back({1, cell("AI", r), QStringLiteral("=L%1-AVERAGE($L$2:$L$61)").arg(r)});
        w.cells.push_back({1, cell("AJ", r), QStringLiteral("=MAX(%1)-MIN(%1)").arg(range)});
        w.cells.push_back({1, cell("AK", r), QStringLiteral("=IFERROR(L%1/$L$62,0)").arg(r)});
        w.cells.push_back({3, cell("A", r), QStringLiteral("='学生档案'!C") + row});
        w.cells.push_back({3, cell("B", r), QStringLiteral("=IF('各科成绩'!M%1>=85,A%1&\"同学成绩优秀\",A%1&\"同学要继续努力\")").arg(r)});
        w.cells.push_back({3, cell("C", r), QStringLiteral("=VLOOKUP(A%1,'各科成绩'!$B$2:$M$61,12,FALSE)").arg(r)});
        w.cells.push_back({3, cell("D", r), QStringLiteral("=CONCATENATE(A%1,\"：\",B%1)").arg(r)});
    }
    w.cells.push_back({1, QStringLiteral("L62"), QStringLiteral("=SUM(L2:L61)")});
    for (int s = 0; s < 9; ++s) {
        const QString c = QLatin1String(subjects[s]);
        const QString range = QStringLiteral("'各科成绩'!%1$2:%1$61").arg(c);
        const QStringList stats = {"=AVERAGE(%1)", "=MAX(%1)", "=MIN(%1)",
                                   "=COUNTIF(%1,\">=60\")/COUNT(%1)",
                                   "=COUNTIF(%1,\">=85\")/COUNT(%1)", "=STDEV(%1)", "=MEDIAN(%1)"};
        for (int i = 0; i < stats.size(); ++i)
            w.cells.push_back({2, c + QString::number(i + 2), stats[i].arg(range)});
    }
    w.write = {1, QStringLiteral("C10"), QStringLiteral("99")};
    w.dependent = {3, QStringLiteral("D10")};
    return w;
}

Workload largeFormulas() {
    Workload w;
    w.sheets = {QStringLiteral("Data")};
    const QStringList formulas = {
        "=A#+B#",           "=F#*C#",          "=SUM(A#:E#)",          "=AVERAGE(A#:E#)",
        "=IF(H#>250,\"高\",\"低\")", "=ROUND(I#/3,2)", "=MAX(A#:E#)",      "=MIN(A#:E#)",
        "=L#-M#",           "=D#*E#/100",      "=ABS(B#-C#)",          "=MOD(A#,7)",
        "=H#+G#",           "=IF(A#>B#,A#,B#)", "=LEN(J#)",            "=INT(I#)",
        "=SQRT(ABS(O#))",   "=POWER(2,MOD(A#,10))", "=F#+X@",           "=R#*2"};
    const char* columns[] = {"F", "G", "H", "I", "J", "K", "L", "M", "N", "O",
                             "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y"};
    for (int r = 1; r <= 10000; ++r) {
        const QString row = QString::number(r);
        for (int c = 0; c < 5; ++c)
            w.cells.push_back({0, cell(std::array{"A", "B", "C", "D", "E"}[size_t(c)], r),
                               QString::number((r * 31 + c * 17) % 100 + c)});
        for (int f = 0; f < 20; ++f) {
            QString text = formulas[f];
            text.replace(u'#', row);
            // A running total down the sheet: a chain 10,000 cells long.
            text.replace(QLatin1String("+X@"), r == 1 ? QString() : QStringLiteral("+X%1").arg(r - 1));
            w.cells.push_back({0, cell(columns[f], r), text});
        }
    }
    w.write = {0, QStringLiteral("A1"), QStringLiteral("7")};
    w.dependent = {0, QStringLiteral("X10000")};
    return w;
}

QByteArray workloadFile(const Workload& w) {
    xls::XlsWorkbook wb = xls::XlsWorkbook::create(w.sheets);
    for (const Workload::Cell& c : w.cells) wb.enter(c.sheet, *parseA1(c.address), c.input);
    wb.recalculate();
    return wb.toBytes();
}

QJsonObject workloadJson(const Workload& w) {
    std::vector<std::vector<QStringList>> grid(size_t(w.sheets.size()));
    for (const Workload::Cell& c : w.cells) {
        const CellRef at = *parseA1(c.address);
        auto& rows = grid[size_t(c.sheet)];
        if (rows.size() <= size_t(at.row))
            rows.resize(size_t(at.row) + 1);
        QStringList& row = rows[size_t(at.row)];
        while (row.size() <= at.column) row << QString();
        row[at.column] = c.input;
    }
    QJsonObject sheets;
    for (size_t s = 0; s < grid.size(); ++s) {
        QJsonArray rows;
        for (const QStringList& r : grid[s]) rows.append(QJsonArray::fromStringList(r));
        sheets[w.sheets[qsizetype(s)]] = rows;
    }
    const CellRef write = *parseA1(w.write.address), dependent = *parseA1(w.dependent.second);
    return QJsonObject{
        {"sheets", sheets},
        {"order", QJsonArray::fromStringList(w.sheets)},
        {"write", QJsonObject{{"sheet", w.sheets[w.write.sheet]}, {"row", write.row},
                              {"column", write.column}, {"value", w.write.input.toDouble()}}},
        {"dependent", QJsonObject{{"sheet", w.sheets[w.dependent.first]}, {"row", dependent.row},
                                  {"column", dependent.column}}}};
}

}  // namespace velmora::bench
