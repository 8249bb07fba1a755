// The formula library on its own: text to tokens and back, Excel's semantics
// of the functions and operators a class workbook uses, recalculation of
// dependents, and tokens no program writes.
#include "workbook/cellref.h"
#include "workbook/cellvalue.h"
#include "workbook/formula/calculation.h"
#include "workbook/formula/compiler.h"
#include "workbook/formula/copiedformula.h"
#include "workbook/formula/decompiler.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

using namespace velmora;
using namespace velmora::formula;

namespace {

// A workbook of a few sheets as the calculation sees it: cells are written
// as typed ("12" a number, "'12" the text 12), formulas with '='.
class Book {
public:
    explicit Book(bool date1904 = false, const QStringList& sheets = {"成绩", "Sheet 2"})
        : links_(makeLinks(sheets)), calc_(links_, date1904) {}

    void put(const QString& address, const QString& input, int sheet = 0) {
        const CellRef at = *parseA1(address);
        if (input.startsWith(u'=')) {
            const Compiled c = compileFormula(input.mid(1), links_, sheet);
            calc_.setFormula(c.expression, {sheet, at.row, at.column, false},
                             Area{sheet, sheet, at.row, at.column, at.row, at.column}, false, {});
        } else if (input.startsWith(u'\'')) {
            calc_.setValue(sheet, at.row, at.column, Value::ofText(input.mid(1)));
        } else {
            const CellValue v = CellValue::typed(input);
            calc_.setValue(sheet, at.row, at.column,
                           v.kind == CellValue::Kind::Number ? Value::ofNumber(v.number)
                           : input.isEmpty()                 ? Value()
                                                             : Value::ofText(input));
        }
    }

    // The cell's text by the program's cell-text rules; "(not computed)"
    // for a formula the engine left alone.
    QString text(const QString& address, int sheet = 0) {
        calc_.recalculate();
        const CellRef at = *parseA1(address);
        if (calc_.isFormula(sheet, at.row, at.column) && !calc_.isComputed(sheet, at.row, at.column))
            return QStringLiteral("(not computed)");
        const Value& v = calc_.cells().get(sheet, at.row, at.column);
        switch (v.kind) {
            case Value::Kind::Number: return numberText(v.number);
            case Value::Kind::Text: return v.text;
            case Value::Kind::Boolean: return v.code ? "TRUE" : "FALSE";
            case Value::Kind::Error: return errorText(v.code);
            case Value::Kind::Empty: return QString();
        }
        return QString();
    }

    Links& links() { return links_; }
    Calculation& calc() { return calc_; }

private:
    static Links makeLinks(const QStringList& sheets) {
        Links l;
        l.sheets = sheets;
        return l;
    }
    Links links_;
    Calculation calc_;
};

// Scores of five students, two sharing a score, one blank, one absent ("缺考").
void scores(Book& b) {
    const QStringList names{"张三", "李四", "张小明", "王五", "赵六"};
    const QStringList marks{"90", "75", "90", "", "缺考"};
    for (int i = 0; i < names.size(); ++i) {
        b.put(QStringLiteral("A%1").arg(i + 1), names[i]);
        b.put(QStringLiteral("B%1").arg(i + 1), marks[i]);
    }
}

}  // namespace

class TestFormula : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void functions_data();
    void functions();
    void textRoundTrip_data();
    void textRoundTrip();
    void badText_data();
    void badText();
    void copied_data();
    void copied();
    void criteria_data();
    void criteria();
    void datesInBothSystems();
    void dependentsFollowWrites();
    void circularReferencesStayCached();
    void hostileTokensNeverCrash();
};

void TestFormula::functions_data() {
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* f, const char* e) { QTest::newRow(f) << QString::fromUtf8(f) << QString::fromUtf8(e); };
    // Ranks: ties share a place, the next one skips.
    row("=RANK(B3,B1:B5)", "1");
    row("=RANK(B2,B1:B5)", "3");
    row("=RANK(B2,B1:B5,1)", "1");
    row("=RANK(70,B1:B5)", "#N/A");
    // Counting by criteria, wildcards, texts built with &.
    row("=COUNTIF(B1:B5,\">=80\")", "2");
    row("=COUNTIF(B1:B5,\"<>\")", "4");
    row("=COUNTIF(B1:B5,\"\")", "1");
    row("=COUNTIF(A1:A5,\"张*\")", "2");
    row("=COUNTIF(A1:A5,\"张?\")", "1");
    row("=COUNTIF(B1:B5,\">\"&B2)", "2");
    row("=COUNTIF(B1:B5,90)", "2");
    row("=SUMIF(A1:A5,\"张*\",B1:B5)", "180");
    row("=AVERAGEIF(B1:B5,\"<100\")", "85");
    row("=COUNTIFS(A1:A5,\"张*\",B1:B5,\">=90\")", "2");
    row("=SUMIFS(B1:B5,A1:A5,\"<>王五\",B1:B5,\"<80\")", "75");
    // Averages and the like leave out text and blanks; nothing left is an error.
    row("=AVERAGE(B1:B5)", "85");
    row("=AVERAGE(C1:C5)", "#DIV/0!");
    row("=COUNT(B1:B5)", "3");
    row("=COUNTA(B1:B5)", "4");
    row("=COUNTBLANK(B1:B5)", "1");
    row("=MAX(B1:B5)-MIN(B1:B5)", "15");
    row("=LARGE(B1:B5,2)&\"/\"&SMALL(B1:B5,1)", "90/75");
    row("=MEDIAN(B1:B5)", "90");
    row("=ROUND(STDEV(B1:B5),4)", "8.6603");
    row("=SUMPRODUCT((B1:B3>80)*B1:B3)", "180");
    // IF without else, IFERROR, logical functions.
    row("=IF(B2>80,\"及格\")", "FALSE");
    row("=IF(B1>80,,1)", "0");
    row("=IFERROR(B5*2,\"缺\")", "缺");
    row("=AND(B1>80,B3>80)", "TRUE");
    row("=OR(B2>80,ISBLANK(B4))", "TRUE");
    row("=ISNUMBER(B5)", "FALSE");
    // Empty cells: 0 in arithmetic, "" in text; texts compare without case.
    row("=B4+1", "1");
    row("=B4&\"x\"", "x");
    row("=\"abc\"=\"ABC\"", "TRUE");
    row("=B4=\"\"", "TRUE");
    row("=B5+1", "#VALUE!");
    row("=1/0+B5", "#DIV/0!");
    // 15 digits: cancellations are 0, rounding works on the decimal value.
    row("=0.1+0.2-0.3", "0");
    row("=ROUND(2.675,2)", "2.68");
    row("=ROUNDDOWN(-2.5,0)&\" \"&ROUNDUP(2.01,1)&\" \"&INT(-2.5)&\" \"&TRUNC(-2.5)", "-2 2.1 -3 -2");
    row("=1/3", "0.333333333333333");
    row("=MOD(-7,3)&\" \"&ABS(-2)&\" \"&SQRT(16)&\" \"&POWER(2,10)", "2 2 4 1024");
    row("=-2^2", "4");
    row("=50%*B1", "45");
    // Text functions and TEXT's formats.
    row("=LEN(A3)&LEFT(A3)&RIGHT(A3,2)&MID(A3,2,1)", "3张小明小");
    row("=CONCATENATE(A1,\"：\",B1)", "张三：90");
    row("=TEXT(0.8567,\"0.0%\")", "85.7%");
    row("=TEXT(3.14159,\"0.00\")", "3.14");
    row("=TEXT(1234.5,\"#,##0.0\")", "1,234.5");
    row("=TEXT(DATE(2024,9,1),\"yyyy-mm-dd\")", "2024-09-01");
    row("=TEXT(DATE(2024,9,1),\"yyyy\"\"年\"\"m\"\"月\"\"d\"\"日\"\"\")", "2024年9月1日");
    row("=VALUE(\"12.5\")+TRIM(\"  a  b \")", "#VALUE!");
    row("=TRIM(\"  a  b \")&UPPER(\"x\")&LOWER(\"Y\")&REPT(\"-\",3)", "a bXy---");
    row("=SUBSTITUTE(\"a-b-c\",\"-\",\"+\",2)&FIND(\"b\",\"abc\")&SEARCH(\"B*\",\"abc\")", "a-b+c22");
    row("=EXACT(\"a\",\"A\")", "FALSE");
    // Lookups.
    row("=VLOOKUP(\"李四\",A1:B5,2,FALSE)", "75");
    row("=VLOOKUP(\"钱七\",A1:B5,2,FALSE)", "#N/A");
    row("=INDEX(A1:B5,MATCH(75,B1:B5,0),1)", "李四");
    row("=HLOOKUP(3,{1,2,3;\"a\",\"b\",\"c\"},2)", "c");
    row("=LOOKUP(2.5,{1,2,3},{\"x\",\"y\",\"z\"})", "y");
    row("=CHOOSE(2,\"甲\",\"乙\",\"丙\")", "乙");
    row("=ROW(B3)+COLUMN(B3)*100+ROWS(A1:B5)*1000+COLUMNS(A1:B5)", "5205");
    // Dates of the 1900 system, the phantom 29 February included.
    row("=DATE(1900,2,29)", "60");
    row("=DATE(1900,3,1)-DATE(1900,2,28)", "2");
    row("=YEAR(60)&\"-\"&MONTH(60)&\"-\"&DAY(60)", "1900-2-29");
    row("=WEEKDAY(DATE(2024,9,1))", "1");
    row("=DATEDIF(DATE(2010,3,15),DATE(2024,9,1),\"Y\")", "14");
    row("=DATE(2024,14,1)", "45689");
    // Another sheet, quoted.
    row("='Sheet 2'!A1*2", "84");
    row("=SUM(成绩!B1:B2)", "165");
    // TEXT's number formats.
    row("=TEXT(-1234.567,\"#,##0.00\")", "-1,234.57");
    row("=TEXT(0.5,\"0%\")", "50%");
    row("=TEXT(12,\"000\")", "012");
    row("=TEXT(1234567,\"0.00E+00\")", "1.23E+06");
    row("=TEXT(-5,\"0;(0)\")", "(5)");
    row("=TEXT(0,\"0;-0;零\")", "零");
    row("=TEXT(1/3,\"General\")", "0.333333333");
    row("=TEXT(DATE(2024,9,1)+0.5,\"yyyy/m/d h:mm:ss\")", "2024/9/1 12:00:00");
    row("=TEXT(DATE(2024,9,1),\"[$-804]aaaa\")", "星期日");
    row("=TEXT(\"abc\",\"0.00\")", "abc");
    row("=TEXT(-1,\"yyyy\")", "#VALUE!");
    row("=TEXT(95,\"[>=90]\"\"优\"\";[>=60]\"\"及格\"\";\"\"不及格\"\"\")", "优");
    row("=TEXT(123456789012,\"General\")&\" \"&TEXT(-0.00000000012,\"General\")", "1.23457E+11 -1.2E-10");
    // Month names and AM/PM are words of the calculating program's language,
    // and a code with a quote left open is none: both keep the cached result.
    row("=TEXT(DATE(2024,9,1),\"d-mmm\")", "(not computed)");
    row("=TEXT(1,\"0\"\"分\")", "(not computed)");
    row("=FIXED(1234.567,1)&\" \"&FIXED(1234.5,0,TRUE)", "1,234.6 1235");
    // More of the library: lookups by position, references built at run time.
    row("=INDEX(B1:B5,2)+INDEX(A1:B5,3,2)", "165");
    row("=SUM(OFFSET(B1,1,0,2,1))", "165");
    row("=INDIRECT(\"B\"&2)+INDIRECT(\"'Sheet 2'!A1\")", "117");
    row("=ADDRESS(3,2)&ADDRESS(3,2,4)&ADDRESS(1,1,1,TRUE,\"成绩\")", "$B$3B3成绩!$A$1");
    row("=MATCH(80,{90,85,80,70},-1)&MATCH(\"李*\",A1:A5,0)", "32");
    row("=SUMPRODUCT(LEN(A1:A3))", "7");
    row("=PRODUCT(2,3,\"4\")&\" \"&SUMSQ(3,4)&\" \"&FACT(5)&\" \"&COMBIN(5,2)", "24 25 120 10");
    row("=CEILING(2.1,0.5)&\" \"&FLOOR(-2.1,-1)&\" \"&EVEN(3)&\" \"&ODD(-2)", "2.5 -2 4 -3");
    row("=PERCENTILE({1,2,3,4},0.5)&\" \"&QUARTILE({1,2,3,4},1)&\" \"&MODE({1,2,2,3})", "2.5 1.75 2");
    row("=RANK.AVG(90,B1:B3)&\" \"&ROUND(CORREL({1,2,3},{2,4,7}),6)", "1.5 0.993399");
    row("=ROUND(PMT(0.05/12,12,1000),2)&\" \"&ROUND(FV(0.1,2,-100),2)&\" \"&ROUND(NPV(0.1,100,100),2)", "-85.61 210 173.55");
    // Add-in functions are computed in files that hold them, but not typed in.
    row("=DEC2BIN(5,4)", "(not computed)");
    row("=HOUR(0.75)&\":\"&MINUTE(TIME(1,30,0))&\" \"&DAYS360(DATE(2024,1,31),DATE(2024,3,1))", "18:30 31");
    row("=AND()", "(not computed)");
}

void TestFormula::functions() {
    QFETCH(QString, formula);
    QFETCH(QString, expected);
    Book b;
    scores(b);
    b.put("A1", "42", 1);
    try {
        b.put("D1", formula);
    } catch (const FormulaError& e) {
        QCOMPARE(QStringLiteral("(not computed)"), expected);  // refused as typed
        return;
    }
    QCOMPARE(b.text("D1"), expected);
}

// Text compiles to tokens that decompile to the text a spreadsheet shows.
void TestFormula::textRoundTrip_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char* t, const char* s) { QTest::newRow(t) << QString::fromUtf8(t) << QString::fromUtf8(s); };
    row("sum(a1:b2)", "SUM(A1:B2)");
    row("$A$1+A$2*$B3", "$A$1+A$2*$B3");
    row("(1+2)*3", "(1+2)*3");
    row("-A1^2%", "-A1^2%");
    row("\"say \"\"hi\"\"\"&A1", "\"say \"\"hi\"\"\"&A1");
    row("'Sheet 2'!A1:B3", "'Sheet 2'!A1:B3");
    row("成绩!A1", "成绩!A1");
    row("SUM(A:A,1:1)", "SUM(A:A,1:1)");
    row("IF(A1>=60,\"及格\",IF(A1<0,,\"x\"))", "IF(A1>=60,\"及格\",IF(A1<0,,\"x\"))");
    row("CHOOSE(A1,1,2,3)", "CHOOSE(A1,1,2,3)");
    row("iferror(1/0,#N/A)", "IFERROR(1/0,#N/A)");
    row("SUMPRODUCT({1,2;3,4},{1,-1;TRUE,\"a\"})", "SUMPRODUCT({1,2;3,4},{1,-1;TRUE,\"a\"})");
    row("1.5E+20+0.25", "1.5E+20+0.25");
    row("COUNTIFS(A1:A3,\">1\",B1:B3,\"<>\")", "COUNTIFS(A1:A3,\">1\",B1:B3,\"<>\")");
    row("TODAY()", "TODAY()");
    row("成绩!#REF!+1", "#REF!+1");
}

void TestFormula::textRoundTrip() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Book b;
    const Compiled c = compileFormula(typed, b.links(), 0);
    bool ok = false;
    QCOMPARE(decompile(c.expression, b.links(), {0, 9, 9, false}, &ok), shown);
    QVERIFY(ok);
}

void TestFormula::badText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("inMessage");
    QTest::newRow("unbalanced") << "SUM(A1" << 0 << "右括号";
    QTest::newRow("extra paren") << "1+2)" << 3 << "右括号";
    QTest::newRow("unknown function") << "1+FOO(1)" << 2 << "FOO";
    QTest::newRow("too many arguments") << "ROUND(1,2,3)" << 0 << "ROUND";
    QTest::newRow("past the last row") << "A65537+1" << 0 << "IV65536";
    QTest::newRow("past the last column") << "IW1" << 0 << "IV65536";
    QTest::newRow("unknown sheet") << "nosuch!A1" << 0 << "nosuch";
    QTest::newRow("unknown name") << "1+学号" << 2 << "学号";
    QTest::newRow("open string") << "\"abc" << 0 << "引号";
    QTest::newRow("dangling operator") << "1*" << 2 << "不完整";
    QTest::newRow("too long") << QString(1100, u'1') << 1024 << "1024";
    QTest::newRow("ragged array") << "{1,2;3}" << 0 << "数组";
}

void TestFormula::badText() {
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, inMessage);
    Book b;
    const Links before = b.links();
    try {
        compileFormula(text, b.links(), 0);
        QFAIL("accepted");
    } catch (const FormulaError& e) {
        QCOMPARE(e.position, position);
        QVERIFY2(e.message.contains(inMessage), qPrintable(e.message));
    }
    QCOMPARE(b.links().externSheets.size(), before.externSheets.size());
}

void TestFormula::copied_data() {
    QTest::addColumn<QString>("formula");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("copied");
    QTest::newRow("down a row") << "SUM(C2:O2)" << 1 << 0 << "SUM(C3:O3)";
    QTest::newRow("absolute parts stay") << "$C$2+C$2+$C2+c2" << 2 << 1 << "$C$2+D$2+$C4+D4";
    QTest::newRow("up and left") << "RANK(P5,$P$2:$P$61)" << -3 << -1 << "RANK(O2,$P$2:$P$61)";
    QTest::newRow("off the top") << "A1+B2" << -1 << 0 << "#REF!+B1";
    QTest::newRow("off the right edge") << "SUM(IU1:IV1)" << 0 << 1 << "SUM(#REF!)";
    QTest::newRow("sheet kept before #REF!") << "'Sheet 2'!A1*2" << -1 << 0 << "'Sheet 2'!#REF!*2";
    QTest::newRow("other sheets move too") << "成绩!B2&\"B2\"" << 1 << 1 << "成绩!C3&\"B2\"";
    QTest::newRow("whole columns keep their rows") << "SUM(A:B,$C:$C)" << 5 << 1 << "SUM(B:C,$C:$C)";
    QTest::newRow("whole rows keep their columns") << "SUM(2:3)" << 1 << 4 << "SUM(3:4)";
    QTest::newRow("a function named like a cell") << "LOG10(A1)" << 1 << 0 << "LOG10(A2)";
    QTest::newRow("blanks kept") << "A1 + B1" << 0 << 1 << "B1 + C1";
    QTest::newRow("no formula") << "SUM(A1" << 1 << 0 << "SUM(A1";
}

void TestFormula::copied() {
    QFETCH(QString, formula);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QTEST(copiedFormula(formula, rows, columns), "copied");
}

// The criteria of COUNTIF and the database functions against single values.
void TestFormula::criteria_data() {
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<QString>("matching");      // values, "|"-separated, as typed into cells
    QTest::addColumn<QString>("notMatching");
    QTest::newRow("number") << "60" << "60|'60" << "61|'六十|";
    QTest::newRow("at least") << ">=60" << "60|99" << "59|'abc|";
    QTest::newRow("not") << "<>60" << "59|'x|" << "60";
    QTest::newRow("not empty") << "<>" << "0|'x" << "";
    QTest::newRow("empty") << "" << "" << "0|'x";
    QTest::newRow("equal empty") << "=" << "" << "0|'x";
    QTest::newRow("text, any case") << "abc" << "'ABC|'abc" << "'abcd|1";
    QTest::newRow("star") << "张*" << "'张|'张三丰" << "'小张|1";
    QTest::newRow("question mark") << "?三" << "'张三" << "'三|'张小三";
    QTest::newRow("tilde") << "~*" << "'*" << "'a";
    QTest::newRow("text after") << ">m" << "'n|'Z" << "'a|5";
    QTest::newRow("logical") << "TRUE" << "=TRUE()" << "1|'TRUE";
    QTest::newRow("error") << "#N/A" << "=NA()" << "0";
}

void TestFormula::criteria() {
    QFETCH(QString, criterion);
    QFETCH(QString, matching);
    QFETCH(QString, notMatching);
    for (const auto& [values, expected] : {std::pair{matching, true}, std::pair{notMatching, false}})
        for (const QString& typed : values.split(u'|')) {
            Book b;
            b.put("A1", typed);
            b.put("B1", criterion.isEmpty() ? QString() : u'\'' + criterion);
            b.put("C1", "=COUNTIF(A1,B1)");
            if (!criterion.isEmpty())
                QVERIFY2(b.text("C1") == (expected ? "1" : "0"), qPrintable(typed));
            b.put("C1", QStringLiteral("=COUNTIF(A1,\"%1\")").arg(criterion));
            QVERIFY2(b.text("C1") == (expected ? "1" : "0"), qPrintable(typed));
        }
}

// Serial numbers count from 1900-01-01 (with the phantom 29 February) or
// from 1904-01-01; the functions follow the workbook's system.
void TestFormula::datesInBothSystems() {
    Book b1900(false), b1904(true);
    for (Book* b : {&b1900, &b1904}) {
        b->put("A1", "=DATE(2024,3,1)");
        b->put("A2", "=TEXT(A1,\"yyyy-m-d\")&\" \"&WEEKDAY(A1)&\" \"&DATEDIF(DATE(2000,2,29),A1,\"Y\")");
        b->put("A3", "=DATEVALUE(\"2024-3-1\")=A1");
    }
    QCOMPARE(b1900.text("A1"), QStringLiteral("45352"));
    QCOMPARE(b1904.text("A1"), QStringLiteral("43890"));
    QCOMPARE(b1900.text("A2"), QStringLiteral("2024-3-1 6 24"));
    QCOMPARE(b1904.text("A2"), QStringLiteral("2024-3-1 6 24"));
    QCOMPARE(b1904.text("A3"), QStringLiteral("TRUE"));
}

// A write recomputes what reads the cell, through ranges and other
// formulas, and nothing else; the changed cells are reported.
void TestFormula::dependentsFollowWrites() {
    Book b;
    scores(b);
    b.put("C1", "=RANK(B1,$B$1:$B$5)");
    b.put("C2", "=RANK(B2,$B$1:$B$5)");
    b.put("D1", "=C1+C2");
    b.put("E1", "=A1&\"!\"");
    b.calc().recalculateAll();
    b.calc().takeChanged();
    QCOMPARE(b.text("D1"), QStringLiteral("4"));
    b.put("B2", "95");
    QCOMPARE(b.text("C2"), QStringLiteral("1"));
    QCOMPARE(b.text("C1"), QStringLiteral("2"));
    QCOMPARE(b.text("D1"), QStringLiteral("3"));
    std::vector<std::array<int, 3>> changed = b.calc().takeChanged();
    std::sort(changed.begin(), changed.end());
    QCOMPARE(changed, (std::vector<std::array<int, 3>>{{0, 0, 2}, {0, 0, 3}, {0, 1, 2}}));
    // A formula replaced by a value stops being computed.
    b.put("C1", "7");
    QCOMPARE(b.text("D1"), QStringLiteral("8"));
}

// Formulas reading themselves are detected, never loop, and keep their
// results; formulas outside the loop are computed.
void TestFormula::circularReferencesStayCached() {
    Book b;
    b.put("A1", "=B1+1");
    b.put("B1", "=A1+1");
    b.put("C1", "=C1");
    b.put("D1", "=5");
    b.calc().recalculateAll();
    QCOMPARE(b.text("A1"), QStringLiteral("(not computed)"));
    QCOMPARE(b.text("B1"), QStringLiteral("(not computed)"));
    QCOMPARE(b.text("C1"), QStringLiteral("(not computed)"));
    QCOMPARE(b.text("D1"), QStringLiteral("5"));
    // Broken by a write, the loop computes.
    b.put("B1", "1");
    QCOMPARE(b.text("A1"), QStringLiteral("2"));
}

// Token arrays no program writes: random bytes, cut-off tokens, huge
// indexes, thousands of nested operators. Each shows as some text and
// computes to a value or not at all, quickly, without a crash.
void TestFormula::hostileTokensNeverCrash() {
    Book b;
    QRandomGenerator random(12);
    std::vector<Expression> cases;
    for (int i = 0; i < 3000; ++i) {
        Expression e;
        const int n = random.bounded(1, 40);
        for (int j = 0; j < n; ++j) e.tokens.append(char(random.bounded(256)));
        if (i % 3 == 0)
            for (int j = 0; j < random.bounded(20); ++j) e.extra.append(char(random.bounded(256)));
        cases.push_back(e);
    }
    Expression deep;  // 1 + (1 + (1 + ...)) 20000 deep, each in parentheses
    deep.tokens.append("\x1e\x01\x00", 3);
    for (int i = 0; i < 20000; ++i) deep.tokens.append("\x1e\x01\x00\x03\x15", 5);
    cases.push_back(deep);
    Expression names;  // a name, a 3-D reference, an external name, far out of range
    names.tokens = QByteArray::fromHex("23ffff0000" "3affff0000ffff" "39ffffffff0000" "22ff0400");
    cases.push_back(names);
    QElapsedTimer clock;
    clock.start();
    for (size_t i = 0; i < cases.size(); ++i) {
        const Site site{0, int(i % 100), 0, i % 2 == 0};
        QVERIFY(!decompile(cases[i], b.links(), site).isEmpty());
        b.calc().setFormula(cases[i], site, Area{0, 0, site.row, 0, site.row, 0}, false, {});
    }
    b.calc().recalculateAll();
    QVERIFY2(clock.elapsed() < 20000, "hostile tokens took too long");
}

QTEST_GUILESS_MAIN(TestFormula)
#include "test_formula.moc"
