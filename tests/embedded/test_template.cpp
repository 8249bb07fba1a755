// The template workbook the build leaves in share/: every sheet the windows
// and the console name, in order, the headings and labels beside the fixed
// cells, the cells that follow other sheets, and simple formulas with their
// results in the file, read by our engine and by the independent reader xlrd.
#include "fixtures.h"
#include "workbook/layout.h"
#include "workbook/xls/xlsworkbook.h"

#include <QRegularExpression>
#include <QTest>

using namespace velmora;
using namespace velmora::test;
using namespace velmora::layout;

namespace {

QString templatePath() {
    return qEnvironmentVariable("VELMORA_TEMPLATE");
}

const QStringList kArchiveLabels = {"序号",
                                    "学号",
                                    "姓名",
                                    "性别",
                                    "籍贯",
                                    "民族",
                                    "出生年月",
                                    "身份证号码",
                                    "入校时间",
                                    "少先队员加入时间",
                                    "少先队员加入地点",
                                    "共青团员加入时间",
                                    "共青团员加入地点",
                                    "户口类别",
                                    "身体健康状况",
                                    "家长姓名",
                                    "家庭住址",
                                    "电话",
                                    "邮政编码",
                                    "特长与爱好",
                                    "父亲姓名",
                                    "父亲出生年月",
                                    "父亲政治面目",
                                    "父亲工作单位",
                                    "父亲职务",
                                    "父亲联系电话",
                                    "母亲姓名",
                                    "母亲出生年月",
                                    "母亲政治面目",
                                    "母亲工作单位",
                                    "母亲职务",
                                    "母亲联系电话",
                                    "学校名称一",
                                    "起止时间一",
                                    "证明人一",
                                    "学校名称二",
                                    "起止时间二",
                                    "证明人二",
                                    "学校名称三",
                                    "起止时间三",
                                    "证明人三",
                                    "学校名称四",
                                    "起止时间四",
                                    "证明人四",
                                    "补充内容",
                                    "家访记录",
                                    "在校表现"};

const QStringList kScoreHeadings = {"政治", "语文", "数学",   "外语", "物理", "化学",
                                    "历史", "地理", "生物",   "音乐", "体育", "美术",
                                    "电脑", "总分", "平均分", "名次"};

// (sheet, address, text): every cell whose content the program relies on;
// an empty text means the cell reads as the empty text: a cell a window
// writes, which must hold nothing, or one that follows other sheets, whose
// formula shows nothing while the class is empty (kFollowing).
QList<std::tuple<QString, QString, QString>> expectedCells() {
    QList<std::tuple<QString, QString, QString>> cells;
    const QStringList archive = archiveColumns();
    for (int i = 0; i < archive.size(); ++i)
        cells.append({kArchiveSheet, address(archive[i], 1), kArchiveLabels[i]});
    cells.append({kArchiveSheet, "Q1", ""});
    cells.append({kScoresSheet, "A1", "序号"});
    cells.append({kScoresSheet, "B1", "学号"});
    const QStringList scores = scoreColumns();
    for (int i = 0; i < scores.size(); ++i)
        cells.append({kScoresSheet, address(scores[i], 1), kScoreHeadings[i]});
    cells.append({kCommentsSheet, "A1", "序号"});
    cells.append({kCommentsSheet, "B1", "姓名"});
    cells.append({kCommentsSheet, "AM1", "评语"});
    const QList<std::pair<QString, QString>> settings = {{"A4", "学校名称"},  {"A5", "学年度"},
                                                         {"A6", "班级名称"},  {"A7", "班主任"},
                                                         {"A11", "科目名称"}, {"A12", "单科总分"}};
    for (const auto& [cell, label] : settings) cells.append({kSettingsSheet, cell, label});
    for (const QString& cell : {kSchoolCell, kTermCell, kClassCell, kTeacherCell})
        cells.append({kSettingsSheet, cell, ""});
    for (const QString& column : subjectColumns()) {
        cells.append({kSettingsSheet, address(column, kSubjectRow), ""});
        cells.append({kSettingsSheet, address(column, kFullScoreRow), ""});
    }
    for (const QString& column :
         {kPlanColumn, kSummaryColumn, kLibraryGoodColumn, kLibraryFairColumn, kLibraryPoorColumn})
        cells.append({kListsSheet, address(column, 2), ""});
    for (const QString& sheet : {kArchiveSheet, kScoresSheet, kCommentsSheet})
        for (const QString& column : QStringList{"A", "B", "C", "P", "R", "AM", "AV"})
            cells.append({sheet, address(column, 2), ""});
    return cells;
}

const QStringList kFollowing = {"各科成绩!A2", "各科成绩!B2", "各科成绩!P2", "各科成绩!R2",
                                "写评语!A2",   "写评语!B2",   "写评语!C2"};

// What the template's formulas call: functions a teacher can read.
const QStringList kSimpleFunctions = {"IF",      "AND",   "OR",    "COUNT", "SUM",
                                      "AVERAGE", "ROUND", "RANK",  "MAX",   "MIN",
                                      "COUNTIF", "SUMIF", "INDEX", "TEXT",  "CHAR"};

const QStringList kSheetOrder = {kSettingsSheet,   kArchiveSheet,  kScoresSheet,
                                 kCommentsSheet,   kRatesSheet,    kHandbookSheet,
                                 kRecordCardSheet, kNotebookSheet, kListsSheet};

}  // namespace

class TestTemplate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sheetsInOrder();
    void cells_data();
    void cells();
    void printSheetsHaveHeadings();
    void formulasAreSimpleAndCached();
    void recordCardShowsOneStudent_data();
    void recordCardShowsOneStudent();
    void independentReaderAgrees();
};

void TestTemplate::sheetsInOrder() {
    const xls::XlsWorkbook book = xls::XlsWorkbook::load(templatePath());
    QCOMPARE(book.sheetNames(), kSheetOrder);
    QVERIFY(book.sheetIndex("打印到班主任工作笔记上") < 0);
}

void TestTemplate::cells_data() {
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("text");
    for (const auto& [sheet, cell, text] : expectedCells())
        QTest::addRow("%s!%s", qPrintable(sheet), qPrintable(cell)) << sheet << cell << text;
}

void TestTemplate::cells() {
    QFETCH(QString, sheet);
    QFETCH(QString, address);
    QFETCH(QString, text);
    static const xls::XlsWorkbook book = xls::XlsWorkbook::load(templatePath());
    const int s = book.sheetIndex(sheet);
    const CellValue v = book.cell(s, *parseA1(address));
    QCOMPARE(v.toText(), text);
    // The cells the windows write hold nothing, not even a formula.
    const bool following = kFollowing.contains(sheet + u'!' + address);
    if (text.isEmpty())
        QCOMPARE(book.hasFormula(s, *parseA1(address)), following);
    QVERIFY(v.kind ==
            (text.isEmpty() && !following ? CellValue::Kind::Empty : CellValue::Kind::Text));
}

void TestTemplate::printSheetsHaveHeadings() {
    const xls::XlsWorkbook book = xls::XlsWorkbook::load(templatePath());
    for (const QString& sheet : {kRatesSheet, kHandbookSheet, kRecordCardSheet, kNotebookSheet})
        QVERIFY2(!book.cell(book.sheetIndex(sheet), {0, 0}).isEmpty(), qPrintable(sheet));
}

// Every formula calls only functions a teacher can read, and the file holds
// the result the engine computes for it.
void TestTemplate::formulasAreSimpleAndCached() {
    xls::XlsWorkbook book = xls::XlsWorkbook::load(templatePath());
    book.recalculate();
    static const QRegularExpression call(QStringLiteral("([A-Z]+)\\("));
    int formulas = 0;
    for (int s = 0; s < book.sheetNames().size(); ++s)
        for (const xls::XlsWorkbook::FormulaCell& f : book.formulas(s)) {
            ++formulas;
            const QString where = book.sheetNames()[s] + u'!' + a1(f.cell);
            QVERIFY2(f.computed && *f.computed == f.cached, qPrintable(where));
            for (auto it = call.globalMatch(f.text); it.hasNext();) {
                const QString name = it.next().captured(1);
                QVERIFY2(kSimpleFunctions.contains(name), qPrintable(where + u' ' + name));
            }
        }
    QVERIFY(formulas > 1000);  // 100 students, 60 plan entries, 率
}

void TestTemplate::recordCardShowsOneStudent_data() {
    QTest::addColumn<QVariant>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("2") << QVariant(2.0) << "李四";
    QTest::newRow("2.5") << QVariant(2.5) << "李四";
    QTest::newRow("100") << QVariant(100.0) << "末位";
    // Nothing rather than another row's student or an error.
    for (const double number : {0.0, -1.0, 101.0})
        QTest::addRow("%g", number) << QVariant(number) << "";
    QTest::newRow("letters") << QVariant("abc") << "";
    QTest::newRow("empty") << QVariant() << "";
}

// The number typed into the record card picks the row of 学生档案 whose
// fields the card shows.
void TestTemplate::recordCardShowsOneStudent() {
    QFETCH(QVariant, number);
    QFETCH(QString, name);
    xls::XlsWorkbook book = xls::XlsWorkbook::load(templatePath());
    const int archive = book.sheetIndex(kArchiveSheet), card = book.sheetIndex(kRecordCardSheet);
    book.setText(archive, {2, 2}, QStringLiteral("李四"));
    book.setText(archive, {4, 2}, QStringLiteral("赵六"));  // 学生档案!C5, beside B5
    book.setText(archive, {100, 2}, QStringLiteral("末位"));
    if (number.typeId() == QMetaType::Double)
        book.setNumber(card, {0, 1}, number.toDouble());
    else if (number.isValid())
        book.setText(card, {0, 1}, number.toString());
    book.recalculate();
    QCOMPARE(book.cell(card, {4, 1}).toText(), name);
}

void TestTemplate::independentReaderAgrees() {
    const auto reading = readWithXlrd(templatePath());
    if (!reading)
        QSKIP("python3-xlrd is not installed");
    QStringList names;
    for (const QJsonValue& name : reading->value("sheets").toArray()) names << name.toString();
    QCOMPARE(names, kSheetOrder);
    for (const auto& [sheet, cell, text] : expectedCells()) {
        // A formula showing nothing is an empty text to xlrd.
        const QJsonArray seen = xlrdCell(*reading, sheet, cell);
        const bool following = kFollowing.contains(sheet + u'!' + cell);
        QVERIFY2(seen.isEmpty() == (text.isEmpty() && !following), qPrintable(sheet + u'!' + cell));
        if (!seen.isEmpty()) {
            QCOMPARE(seen.at(0).toString(), QStringLiteral("text"));
            QCOMPARE(seen.at(1).toString(), text);
        }
    }
}

QTEST_MAIN(TestTemplate)
#include "test_template.moc"
