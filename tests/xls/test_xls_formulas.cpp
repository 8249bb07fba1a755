#include "corpusfile.h"
#include "workbookparts.h"
#include "libreoffice.h"
#include "xlrdview.h"
#include "workbook/formula/links.h"
#include "workbook/xls/bytes.h"
#include "workbook/xls/container.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlsworkbook.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using namespace velmora::xls;
using namespace velmora::test;

// Writing over formulas: cached strings go with them, shared formulas are
// written out for the cells that still use them, array formulas refuse.
class TestXlsFormulas : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void overwrittenFormulaLosesItsString();
    void recalculationIsRequestedAfterEdits_data();
    void recalculationIsRequestedAfterEdits();
    void sharedFormulaSurvivesOverwritingItsFirstCell_data();
    void sharedFormulaSurvivesOverwritingItsFirstCell();
    void sharedFormulasReadTheSameInLibreOffice();
    void arrayFormulaCellsRefuseSingleWrites();
    void corpusFormulasDecompileAndCompute();
    void typedFormulasReachOtherReaders();
    void typedFormulasJoinExistingLinks_data();
    void typedFormulasJoinExistingLinks();
    void badFormulaChangesNothing();
    void writesRecalculateDependents();
};

void TestXlsFormulas::overwrittenFormulaLosesItsString() {
    const QByteArray bytes = test::corpusBytes(QStringLiteral("poi_60460_excel97_formulas.xls"));
    const WorkbookData before = parse(bytes);
    // A formula whose cached result is text: its STRING record follows it.
    int sheet = -1;
    CellRef at;
    for (size_t w = 0; w < before.worksheets.size() && sheet < 0; ++w) {
        const Sheet& s = before.sheets[before.worksheets[w]];
        for (size_t i = 0; i + 1 < s.records.size(); ++i) {
            if (s.records[i].type == rt::kFormula && s.records[i + 1].type == rt::kString) {
                const char* b = s.records[i].body(before.stream);
                sheet = int(w);
                at = {u16(b), u16(b + 2)};
                break;
            }
        }
    }
    QVERIFY(sheet >= 0);
    XlsWorkbook wb = XlsWorkbook::fromBytes(bytes);
    wb.setText(sheet, at, QStringLiteral("不再是公式"));
    const WorkbookData after = parse(wb.toBytes());
    const Sheet& s0 = before.sheets[before.worksheets[size_t(sheet)]];
    const Sheet& s1 = after.sheets[after.worksheets[size_t(sheet)]];
    QCOMPARE(countRecords(s1, rt::kString), countRecords(s0, rt::kString) - 1);
    QCOMPARE(countRecords(s1, rt::kFormula), countRecords(s0, rt::kFormula) - 1);
    QCOMPARE(XlsWorkbook::fromBytes(wb.toBytes()).cell(sheet, at).text,
             QStringLiteral("不再是公式"));
}

void TestXlsFormulas::recalculationIsRequestedAfterEdits_data() {
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("engineIdZero");
    QTest::newRow("no edit keeps the engine id") << false << false;
    QTest::newRow("an edit asks for recalculation") << true << true;
}

void TestXlsFormulas::recalculationIsRequestedAfterEdits() {
    QFETCH(bool, edit);
    QFETCH(bool, engineIdZero);
    const QByteArray bytes = test::corpusBytes(QStringLiteral("sheetjs_crlf_mac2016.xls"));
    XlsWorkbook wb = XlsWorkbook::fromBytes(bytes);
    if (edit)
        wb.setText(0, {9, 9}, QStringLiteral("x"));
    const WorkbookData after = parse(wb.toBytes());
    const auto recalc = std::find_if(after.globals.begin(), after.globals.end(),
                                     [](const Record& r) { return r.type == rt::kRecalcId; });
    QVERIFY(recalc != after.globals.end());
    QCOMPARE(u32(recalc->body(after.stream) + 4) == 0, engineIdZero);
}

void TestXlsFormulas::sharedFormulaSurvivesOverwritingItsFirstCell_data() {
    QTest::addColumn<QString>("file");
    for (const char* f :
         {"poi_12843-1_zh-tw_40sheets.xls", "poi_29982_multiline_long_sst_continue.xls",
          "sheetjs_ErrorTypes.xls", "phpss_pr607_sum_formulas.xls"})
        QTest::newRow(f) << QString::fromLatin1(f);
}

void TestXlsFormulas::sharedFormulaSurvivesOverwritingItsFirstCell() {
    QFETCH(QString, file);
    const QByteArray bytes = test::corpusBytes(file);
    const WorkbookData before = parse(bytes);
    int sheet = -1;
    Sheet::SharedFormula anchor;
    for (size_t w = 0; w < before.worksheets.size() && sheet < 0; ++w) {
        const Sheet& s = before.sheets[before.worksheets[w]];
        if (!s.shared.empty()) {
            sheet = int(w);
            anchor = s.shared.front();
        }
    }
    QVERIFY(sheet >= 0);
    XlsWorkbook wb = XlsWorkbook::fromBytes(bytes);
    auto unchanged = texts(wb, sheet);
    const CellRef at{anchor.row, anchor.column};
    wb.setText(sheet, at, QStringLiteral("覆盖"));
    // The saved file holds what the engine shows: the new text, the
    // recomputed results of the formulas reading it, everything else as it was.
    const auto expected = texts(wb, sheet);
    QCOMPARE(expected.at(at), QStringLiteral("覆盖"));
    for (const XlsWorkbook::SheetCell& c : wb.takeChangedCells())
        unchanged.erase(c.cell);
    unchanged.erase(at);
    for (const auto& [ref, text] : unchanged) QCOMPARE(expected.at(ref), text);
    const QByteArray saved = wb.toBytes();
    QCOMPARE(texts(XlsWorkbook::fromBytes(saved), sheet), expected);

    // No cell refers to the removed shared formula any more, and every
    // other formula is still there.
    const WorkbookData after = parse(saved);
    const Sheet& s0 = before.sheets[before.worksheets[size_t(sheet)]];
    const Sheet& s1 = after.sheets[after.worksheets[size_t(sheet)]];
    QCOMPARE(countRecords(s1, rt::kFormula), countRecords(s0, rt::kFormula) - 1);
    QCOMPARE(countRecords(s1, rt::kShrFmla), countRecords(s0, rt::kShrFmla) - 1);
    for (const Record& r : s1.records) {
        if (r.type != rt::kFormula || r.size < 27)
            continue;
        const char* b = r.body(after.stream);
        const bool refersToAnchor =
            u8(b + 22) == 0x01 && u16(b + 23) == anchor.row && u16(b + 25) == anchor.column;
        QVERIFY(!refersToAnchor);
    }
}

namespace {
QMap<QString, int> formulasOf(const QString& fods) {
    QFile f(fods);
    QMap<QString, int> count;
    if (!f.open(QIODevice::ReadOnly))
        return count;
    static const QRegularExpression formula(QStringLiteral("table:formula=\"([^\"]*)\""));
    for (const auto& m : formula.globalMatch(QString::fromUtf8(f.readAll())))
        ++count[m.captured(1)];
    return count;
}
}  // namespace

void TestXlsFormulas::sharedFormulasReadTheSameInLibreOffice() {
    // LibreOffice expands shared formulas itself: after the first cell is
    // overwritten, it must see every other formula exactly as before, at the
    // same relative references.
    if (test::sofficePath().isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    QTemporaryDir dir;
    QStringList files;
    for (const char* name :
         {"sheetjs_ErrorTypes.xls", "poi_29982_multiline_long_sst_continue.xls"}) {
        const QByteArray bytes = test::corpusBytes(QString::fromLatin1(name));
        const WorkbookData data = parse(bytes);
        const Sheet::SharedFormula anchor = [&] {
            for (size_t w : data.worksheets)
                if (!data.sheets[w].shared.empty())
                    return data.sheets[w].shared.back();
            return Sheet::SharedFormula{};
        }();
        int sheet = 0;
        while (data.sheets[data.worksheets[size_t(sheet)]].shared.empty()) ++sheet;
        XlsWorkbook wb = XlsWorkbook::fromBytes(bytes);
        wb.setText(sheet, {anchor.row, anchor.column}, QStringLiteral("覆盖"));
        const QString base = dir.filePath(QFileInfo(QString::fromLatin1(name)).completeBaseName());
        QFile before(base + QStringLiteral("-before.xls")),
            after(base + QStringLiteral("-after.xls"));
        QVERIFY(before.open(QIODevice::WriteOnly) && after.open(QIODevice::WriteOnly));
        before.write(bytes);
        after.write(wb.toBytes());
        files << before.fileName() << after.fileName();
    }
    const test::ConversionRun run = test::convertToFlatOds(files, dir.path());
    QVERIFY2(run.finished, qPrintable(run.output));
    for (qsizetype i = 0; i < files.size(); i += 2) {
        const auto before = formulasOf(QFileInfo(files[i]).absolutePath() + u'/' +
                                       QFileInfo(files[i]).completeBaseName() + ".fods");
        auto after = formulasOf(QFileInfo(files[i + 1]).absolutePath() + u'/' +
                                QFileInfo(files[i + 1]).completeBaseName() + ".fods");
        QVERIFY(!before.isEmpty());
        int lost = 0;
        for (auto it = before.begin(); it != before.end(); ++it) {
            QVERIFY2(after.value(it.key()) <= it.value(), qPrintable(it.key()));
            lost += it.value() - after.value(it.key());
            after.remove(it.key());
        }
        QVERIFY2(after.isEmpty(), qPrintable(after.isEmpty() ? QString() : after.firstKey()));
        QCOMPARE(lost, 1);  // the overwritten cell's own formula
    }
}

void TestXlsFormulas::arrayFormulaCellsRefuseSingleWrites() {
    const QByteArray bytes =
        test::corpusBytes(QStringLiteral("poi_testArraysAndTables_excel2007.xls"));
    const WorkbookData data = parse(bytes);
    const Sheet& s = data.sheets[data.worksheets[0]];
    QVERIFY(!s.arrays.empty());
    const CellRange r = s.arrays.front().range;
    XlsWorkbook wb = XlsWorkbook::fromBytes(bytes);
    const CellValue before = wb.cell(0, {r.lastRow, r.lastColumn});
    QVERIFY_THROWS_EXCEPTION(XlsError,
                             wb.setText(0, {r.lastRow, r.lastColumn}, QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(XlsError, wb.clear(0, {r.firstRow, r.firstColumn}));
    QVERIFY(!wb.isModified());
    QCOMPARE(wb.cell(0, {r.lastRow, r.lastColumn}), before);
}

// Every formula of the corpus shows as text; the engine computes most of
// them, and what it computes for formulas that do not depend on the clock
// or chance is what Excel or LibreOffice cached. Prints the figures per file.
void TestXlsFormulas::corpusFormulasDecompileAndCompute() {
    int all = 0, computed = 0, compared = 0, equal = 0;
    for (const QString& path : test::corpusFiles()) {
        XlsWorkbook wb = XlsWorkbook::load(path);
        wb.recalculate();
        int n = 0, unreadable = 0, done = 0, steady = 0, same = 0;
        QStringList differing;
        for (int s = 0; s < wb.sheetNames().size(); ++s)
            for (const XlsWorkbook::FormulaCell& f : wb.formulas(s)) {
                ++n;
                unreadable += f.text.startsWith(QStringLiteral("#无法读取"));
                if (!f.computed)
                    continue;
                ++done;
                if (f.isVolatile)
                    continue;
                ++steady;
                if (f.computed->toText() == f.cached.toText())
                    ++same;
                else
                    differing << QStringLiteral("%1!%2 =%3: %4 cached, %5 computed")
                                     .arg(wb.sheetNames()[s], a1(f.cell), f.text,
                                          f.cached.toText(), f.computed->toText());
            }
        if (n == 0)
            continue;
        qInfo("%-46s %4d formulas, %d unreadable, %4d computed (%5.1f%%), %4d of %4d equal",
              qPrintable(QFileInfo(path).fileName()), n, unreadable, done, 100.0 * done / n,
              same, steady);
        for (const QString& d : differing) qInfo("    %s", qPrintable(d));
        QCOMPARE(unreadable, 0);
        all += n;
        computed += done;
        compared += steady;
        equal += same;
    }
    qInfo("corpus: %d formulas, %d computed (%.1f%%), %d of %d equal (%.2f%%)", all, computed,
          100.0 * computed / all, equal, compared, 100.0 * equal / compared);
    QVERIFY(computed * 100 >= all * 85);
    QVERIFY(equal * 100 >= compared * 99);
}

// Formulas typed in are written so that other programs read them: xlrd
// finds the results we cached, LibreOffice reads the formulas (IFERROR by
// its name, references into a sheet whose name ends in a blank) and
// computes the same values.
void TestXlsFormulas::typedFormulasReachOtherReaders() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("班级.xls"));
    const QStringList sheets{QStringLiteral("成绩"), QStringLiteral("打印到班主任工作笔记上 ")};
    const std::vector<std::pair<const char*, const char*>> inputs = {
        {"A1", "张三"},     {"B1", "90"},      {"A2", "李四"},       {"B2", "58.5"},
        {"A3", "王五"},     {"B3", "缺考"},
        {"C1", "=RANK(B1,$B$1:$B$3)"},
        {"C2", "=IF(B2>=60,\"及格\",\"不及格\")"},
        {"C3", "=IFERROR(B3*1,\"无成绩\")"},
        {"D1", "=COUNTIF(B1:B3,\">=60\")/COUNT(B1:B3)"},
        {"D2", "=SUM(B1:B3)&\"分\""},
        {"D3", "=ISNUMBER(B3)"},
        {"D4", "=1/0"},
        {"E1", "=CHOOSE(2,\"甲\",\"乙\")&LEFT(A2)"},
        {"E2", "=TEXT(B2/100,\"0.0%\")"},
        {"E3", "=VLOOKUP(\"李四\",A1:B3,2,FALSE)"}};
    {
        XlsWorkbook wb = XlsWorkbook::create(sheets);
        for (const auto& [address, input] : inputs)
            wb.enter(0, *parseA1(QString::fromLatin1(address)), QString::fromUtf8(input));
        wb.enter(1, {0, 0}, QStringLiteral("=成绩!B1+'打印到班主任工作笔记上 '!B1"));
        wb.enter(1, {0, 1}, QStringLiteral("5"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(wb.toBytes());
    }
    const XlsWorkbook back = XlsWorkbook::load(path);
    QCOMPARE(back.formula(0, {2, 2}), QStringLiteral("IFERROR(B3*1,\"无成绩\")"));
    QCOMPARE(back.formula(1, {0, 0}), QStringLiteral("成绩!B1+'打印到班主任工作笔记上 '!B1"));
    const std::map<CellRef, QString> ours = texts(back, 0);
    QCOMPARE(ours.at({0, 2}), QStringLiteral("1"));
    QCOMPARE(ours.at({2, 2}), QStringLiteral("无成绩"));
    QCOMPARE(ours.at({3, 3}), QStringLiteral("#DIV/0!"));
    QCOMPARE(texts(back, 1).at({0, 0}), QStringLiteral("95"));

    if (test::xlrdAvailable()) {
        const QJsonObject view = test::xlrdView({path}).front();
        const QJsonArray cells =
            view[QStringLiteral("sheets")].toArray()[0].toObject()[QStringLiteral("cells")].toArray();
        int compared = 0;
        for (const QJsonValue& v : cells) {
            const QJsonArray c = v.toArray();
            const QString text = c[2].toInt() == 2   ? numberText(c[3].toDouble())
                                 : c[2].toInt() == 4 ? (c[3].toInt() ? "TRUE" : "FALSE")
                                 : c[2].toInt() == 5 ? errorText(quint8(c[3].toInt()))
                                                     : c[3].toString();
            QCOMPARE(text, ours.at({c[0].toInt(), c[1].toInt()}));
            ++compared;
        }
        QCOMPARE(compared, int(ours.size()));
    }
    if (test::sofficePath().isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    const test::ConversionRun run = test::convertToCsv({path}, dir.path());
    QVERIFY2(run.finished, qPrintable(run.output));
    QFile csv(dir.filePath(QStringLiteral("班级-成绩.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(csv.readAll()).split(u'\n');
    for (const auto& [ref, text] : ours) {
        // LibreOffice shows a logical result in a General cell as 0 or 1.
        const QString shown = rows.value(ref.row).split(u',').value(ref.column);
        QCOMPARE(shown == QLatin1String("0") && text == QLatin1String("FALSE") ? text : shown, text);
    }
}

// Typed formulas in files that already have links: new EXTERNSHEET entries
// and names go beside the old ones, every formula of the file still reads
// as before, and a long text result goes on in CONTINUE records.
void TestXlsFormulas::typedFormulasJoinExistingLinks_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("names and sheets") << QStringLiteral("sheetjs_defined_names_unicode.xls");
    QTest::newRow("40 sheets, EXTERNSHEET") << QStringLiteral("poi_12843-1_zh-tw_40sheets.xls");
    QTest::newRow("no links yet") << QStringLiteral("hutool_aaa_excel2016_zh_sheet.xls");
}

void TestXlsFormulas::typedFormulasJoinExistingLinks() {
    QFETCH(QString, file);
    XlsWorkbook wb = XlsWorkbook::fromBytes(test::corpusBytes(file));
    const int last = int(wb.sheetNames().size()) - 1;
    std::vector<std::vector<XlsWorkbook::FormulaCell>> before;
    for (int s = 0; s <= last; ++s) before.push_back(wb.formulas(s));
    const QString other = formula::quoteSheetName(wb.sheetNames()[last]);
    wb.enter(0, {300, 0}, QStringLiteral("=IFERROR(1/0,COUNTA(%1!A1:C9))").arg(other));
    wb.enter(0, {300, 1}, QStringLiteral("=REPT(\"长\",5000)&\"尾\""));
    const QString expected = QString::number(wb.cell(0, {300, 0}).number);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.xls"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(wb.toBytes());
    f.close();
    const XlsWorkbook back = XlsWorkbook::load(path);
    QCOMPARE(back.formula(0, {300, 0}), QStringLiteral("IFERROR(1/0,COUNTA(%1!A1:C9))").arg(other));
    QCOMPARE(back.cell(0, {300, 0}).toText(), expected);
    QCOMPARE(back.cell(0, {300, 1}).text.size(), 5001);
    for (int s = 0; s <= last; ++s) {
        const auto now = back.formulas(s);
        QCOMPARE(now.size(), before[size_t(s)].size() + (s == 0 ? 2 : 0));
        for (const XlsWorkbook::FormulaCell& b : before[size_t(s)])
            QCOMPARE(back.formula(s, b.cell), b.text);
    }
    if (!test::xlrdAvailable())
        QSKIP("python3-xlrd is not installed");
    const QJsonObject view = test::xlrdView({path}).front();
    QVERIFY2(!view.contains(QStringLiteral("error")), qPrintable(view[QStringLiteral("error")].toString()));
    QVERIFY(view[QStringLiteral("names")].toArray().contains(QStringLiteral("_xlfn.IFERROR")));
}

// A formula that does not parse names the position and changes nothing.
void TestXlsFormulas::badFormulaChangesNothing() {
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("Sheet1")});
    wb.setNumber(0, {0, 0}, 1);
    const QByteArray before = wb.toBytes();
    for (const QString& input : {QStringLiteral("=SUM(A1"), QStringLiteral("=Sheet9!A1"),
                                 QStringLiteral("=IF(A1>0,\"x\",#NAME?"),
                                 QStringLiteral("=NOSUCHFUNC(1)")}) {
        try {
            wb.enter(0, {1, 0}, input);
            QFAIL(qPrintable(input));
        } catch (const XlsError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("个字符")), qPrintable(e.message()));
        }
    }
    QCOMPARE(wb.cell(0, {1, 0}).kind, CellValue::Kind::Empty);
    QCOMPARE(wb.toBytes(), before);
}

// Before the next read after a write, what depends on the written cell is
// recomputed, and the changed cells are reported for the sheet window.
void TestXlsFormulas::writesRecalculateDependents() {
    XlsWorkbook wb = XlsWorkbook::create({QStringLiteral("学生档案"), QStringLiteral("写评语")});
    wb.enter(0, {1, 2}, QStringLiteral("张三"));
    wb.enter(1, {1, 1}, QStringLiteral("=学生档案!C2&\"同学\""));
    wb.enter(1, {1, 2}, QStringLiteral("=LEN(B2)"));
    wb.takeChangedCells();
    wb.setText(0, {1, 2}, QStringLiteral("欧阳小明"));
    QCOMPARE(wb.cell(1, {1, 1}).toText(), QStringLiteral("欧阳小明同学"));
    QCOMPARE(wb.cell(1, {1, 2}).toText(), QStringLiteral("6"));
    std::vector<CellRef> changed;
    for (const XlsWorkbook::SheetCell& c : wb.takeChangedCells()) {
        QCOMPARE(c.sheet, 1);
        changed.push_back(c.cell);
    }
    std::sort(changed.begin(), changed.end());
    QCOMPARE(changed, (std::vector<CellRef>{{1, 1}, {1, 2}}));
    QVERIFY(wb.isComputed(1, {1, 1}));
}

QTEST_GUILESS_MAIN(TestXlsFormulas)
#include "test_xls_formulas.moc"
