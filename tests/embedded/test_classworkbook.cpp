// The template as a class's workbook: fifty students' scores written with
// velmora-xls put, then 各科成绩's totals, means and ranks and every figure of
// 率 against the test's own computation, as our engine, xlrd (the results
// cached in the file) and LibreOffice (its csv of the sheets as shown) read
// the saved file; the record card of a filled student printed on one page.
#include "libreoffice.h"
#include "pdfpages.h"
#include "workbook/atomicfile.h"
#include "workbook/layout.h"
#include "workbook/xls/xlsworkbook.h"
#include "xlrdreading.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <numeric>

using namespace velmora;
using namespace velmora::layout;

namespace {

constexpr int kStudents = 50;
// The subjects written (columns C to G of 各科成绩); 数学 is out of 150.
constexpr int kSubjects = 5;
const double kFull[kSubjects] = {100, 100, 150, 100, 100};

// A score, or NaN for a student who missed the subject; the last student
// missed every one.
double score(int student, int subject) {
    if (student == kStudents || (student + subject) % 17 == 0)
        return std::nan("");
    const double of100 = 40 + (student * 37 + subject * 53) % 61;
    return subject == 2 ? of100 * 1.5 : of100;
}

struct Figures {
    double count = 0, sum = 0, max = -1e9, min = 1e9, pass = 0, excellent = 0;
    void add(double v, double full) {
        ++count;
        sum += v;
        max = std::max(max, v);
        min = std::min(min, v);
        pass += v >= full * 60 / 100;
        excellent += v >= full * 85 / 100;
    }
    // 率's columns C to K (B, the full score, apart); nullopt where it shows nothing.
    QList<std::optional<double>> row() const {
        if (count == 0)
            return QList<std::optional<double>>(9, std::nullopt);
        return {count,        sum,       sum / count,      max, min, pass,
                pass / count, excellent, excellent / count};
    }
};

struct Expected {
    QMap<QString, std::optional<double>> cells;  // "各科成绩!P2" -> value, nullopt: shows nothing
};

Expected compute() {
    Expected e;
    std::vector<double> totals(kStudents + 1, std::nan(""));
    Figures subjects[kSubjects];
    Figures all;
    for (int n = 1; n <= kStudents; ++n) {
        double sum = 0;
        int count = 0;
        for (int k = 0; k < kSubjects; ++k)
            if (const double v = score(n, k); !std::isnan(v)) {
                sum += v;
                ++count;
                subjects[k].add(v, kFull[k]);
            }
        if (count > 0)
            totals[size_t(n)] = sum;
        const QString row = QString::number(n + 1);
        e.cells["各科成绩!P" + row] = count ? std::optional(sum) : std::nullopt;
        e.cells["各科成绩!Q" + row] =
            count ? std::optional(std::round(sum / count * 10) / 10) : std::nullopt;
    }
    double fullOfTotal = 0;
    for (int k = 0; k < kSubjects; ++k) fullOfTotal += subjects[k].count > 0 ? kFull[k] : 0;
    for (int n = 1; n <= kStudents; ++n) {
        const QString row = QString::number(n + 1);
        const double mine = totals[size_t(n)];
        if (!std::isnan(mine))
            all.add(mine, fullOfTotal);
        e.cells["各科成绩!R" + row] =
            std::isnan(mine)
                ? std::nullopt
                : std::optional(1.0 + std::count_if(totals.begin(), totals.end(),
                                                    [&](double t) { return t > mine; }));
    }
    const auto put = [&](int row, double full, const Figures& f) {
        e.cells[QStringLiteral("率!B%1").arg(row)] = full;
        const auto values = f.row();
        for (int i = 0; i < values.size(); ++i)
            e.cells[QStringLiteral("率!%1%2").arg(QChar(u'C' + i)).arg(row)] = values[i];
    };
    for (int k = 0; k < 13; ++k)
        put(3 + k, k < kSubjects ? kFull[k] : 100, k < kSubjects ? subjects[k] : Figures());
    put(16, fullOfTotal, all);
    return e;
}

int runTool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VELMORA_XLS_TOOL), args);
    if (!p.waitForFinished(60000))
        return -1;
    if (p.exitCode() != 0)
        qWarning("velmora-xls %s: %s", qPrintable(args.join(u' ')),
                 p.readAllStandardError().constData());
    return p.exitCode();
}

// The class workbook: the template with 50 students in 学生档案 (stored as
// the record card stores them), 数学 out of 150, then every score put in.
QString writeClass(const QTemporaryDir& dir) {
    const QString path = dir.filePath("Velmoravm2.1.xls");
    xls::XlsWorkbook book = xls::XlsWorkbook::load(qEnvironmentVariable("VELMORA_TEMPLATE"));
    const int archive = book.sheetIndex(kArchiveSheet);
    for (int n = 1; n <= kStudents; ++n) {
        book.setText(archive, {n, 0}, QString::number(n));
        book.setText(archive, {n, 1}, QStringLiteral("20230%1").arg(n, 2, 10, QLatin1Char('0')));
        book.setText(archive, {n, 2}, QStringLiteral("学生%1").arg(n));
    }
    writeFileAtomically(path, book.toBytes());
    if (runTool({"put", path, kSettingsSheet, "D12", "150"}) != 0)
        return {};
    for (int n = 1; n <= kStudents; ++n)
        for (int k = 0; k < kSubjects; ++k)
            if (const double v = score(n, k);
                !std::isnan(v) &&
                runTool({"put", path, kScoresSheet, address(QString(QChar(u'C' + k)), n + 1),
                         QString::number(v)}) != 0)
                return {};
    return path;
}

bool close(double a, double b, double tolerance = 1e-9) {
    return std::abs(a - b) <= tolerance * std::max(1.0, std::abs(b));
}

// A csv line split at commas outside quotes.
QStringList csvFields(const QString& line) {
    QStringList fields{QString()};
    bool quoted = false;
    for (QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        else if (c == u',' && !quoted)
            fields << QString();
        else
            fields.last() += c;
    }
    return fields;
}

}  // namespace

class TestClassWorkbook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scoresAndRatesOfFiftyStudents();
    void recordCardPrintsOnOnePage();
};

void TestClassWorkbook::scoresAndRatesOfFiftyStudents() {
    QTemporaryDir dir;
    const QString path = writeClass(dir);
    QVERIFY(!path.isEmpty());
    const Expected expected = compute();

    const xls::XlsWorkbook book = xls::XlsWorkbook::load(path);
    const auto reading = test::readWithXlrd(path);
    for (auto it = expected.cells.begin(); it != expected.cells.end(); ++it) {
        const QString sheet = it.key().section(u'!', 0, 0), cell = it.key().section(u'!', 1);
        const CellValue ours = book.cell(book.sheetIndex(sheet), *parseA1(cell));
        if (!it.value()) {
            QVERIFY2(ours.toText().isEmpty(), qPrintable(it.key() + u' ' + ours.toText()));
        } else {
            QVERIFY2(ours.kind == CellValue::Kind::Number && close(ours.number, *it.value()),
                     qPrintable(it.key() + u' ' + ours.toText()));
        }
        if (!reading)
            continue;
        // What xlrd reads is the result cached in the file.
        const QJsonArray seen = test::xlrdCell(*reading, sheet, cell);
        if (!it.value())
            QVERIFY2(seen.isEmpty() || seen.at(1).toString().isEmpty(), qPrintable(it.key()));
        else
            QVERIFY2(
                seen.at(0) == QStringLiteral("number") && close(seen.at(1).toDouble(), *it.value()),
                qPrintable(it.key()));
    }
    // The comment writer's and the score query's text of student 7.
    const QString seventh = book.cell(book.sheetIndex(kCommentsSheet), {7, 2}).toText();
    QCOMPARE(seventh, QStringLiteral("总分%1，平均分%2，第%3名")
                          .arg(*expected.cells["各科成绩!P8"])
                          .arg(*expected.cells["各科成绩!Q8"], 0, 'f', 1)
                          .arg(*expected.cells["各科成绩!R8"]));

    if (test::sofficePath().isEmpty())
        QSKIP("LibreOffice is not installed");
    const test::ConversionRun run = test::convertToCsv({path}, dir.path());
    QVERIFY2(run.finished, qPrintable(run.output));
    QMap<QString, QStringList> rows;  // "率!3" -> the row's fields as shown
    for (const QString sheet : {"各科成绩", "率"}) {
        QFile csv(dir.filePath(QStringLiteral("Velmoravm2.1-%1.csv").arg(sheet)));
        QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(csv.fileName()));
        int row = 0;
        for (const QByteArray& line : csv.readAll().split('\n'))
            rows[sheet + u'!' + QString::number(++row)] = csvFields(QString::fromUtf8(line));
    }
    for (auto it = expected.cells.begin(); it != expected.cells.end(); ++it) {
        const QString sheet = it.key().section(u'!', 0, 0);
        const CellRef at = *parseA1(it.key().section(u'!', 1));
        QString shown = rows[sheet + u'!' + QString::number(at.row + 1)].value(at.column);
        if (!it.value()) {
            QVERIFY2(shown.isEmpty(), qPrintable(it.key() + u' ' + shown));
            continue;
        }
        // As shown: one decimal for the means, percentages with one.
        const bool percent = shown.endsWith(u'%');
        const double value = shown.chopped(percent ? 1 : 0).toDouble() / (percent ? 100 : 1);
        QVERIFY2(close(value, *it.value(), percent ? 0.0005 : 0.05 / std::max(1.0, *it.value())),
                 qPrintable(it.key() + u' ' + shown));
    }
}

// Every field of the student's row shows in the card, which prints on one
// A4 page.
void TestClassWorkbook::recordCardPrintsOnOnePage() {
    if (!test::pdfToolsAvailable())
        QSKIP("poppler-utils is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("Velmoravm2.1.xls");
    xls::XlsWorkbook book = xls::XlsWorkbook::load(qEnvironmentVariable("VELMORA_TEMPLATE"));
    const int archive = book.sheetIndex(kArchiveSheet);
    QStringList values;
    for (const QString& column : archiveColumns()) {
        values << (column == u"A" ? QStringLiteral("2") : QStringLiteral("值%1栏").arg(column));
        book.setText(archive, *parseA1(address(column, 3)), values.last());
    }
    book.setText(archive, {2, 17},
                 QStringLiteral("江苏省南京市鼓楼区中山北路二百八十八号幸福花园"));
    values << QStringLiteral("江苏省南京市鼓楼区中山北路二百八十八号幸福花园");
    values.removeAll(QStringLiteral("值R栏"));
    writeFileAtomically(path, book.toBytes());
    QCOMPARE(runTool({"put", path, kRecordCardSheet, "B1", "2"}), 0);
    const QString pdf = dir.filePath("card.pdf");
    QCOMPARE(runTool({"pdf", path, kRecordCardSheet, pdf}), 0);
    const QList<test::PdfPage> pages = test::pdfPages(pdf);
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages[0].size, QSize(595, 842));
    const auto holdsEveryField = [&](QString text) {
        text.remove(QRegularExpression(QStringLiteral("\\s")));
        return std::all_of(values.begin(), values.end(),
                           [&](const QString& v) { return text.contains(v); });
    };
    QVERIFY(holdsEveryField(pages[0].text));

    // LibreOffice prints the card alike: one A4 page of its print of the
    // workbook holds every field.
    if (test::sofficePath().isEmpty())
        QSKIP("LibreOffice is not installed");
    const test::ConversionRun run = test::convertToPdf({path}, dir.path());
    QVERIFY2(run.finished, qPrintable(run.output));
    const QList<test::PdfPage> all = test::pdfPages(dir.filePath("Velmoravm2.1.pdf"));
    QList<test::PdfPage> cards;
    std::copy_if(all.begin(), all.end(), std::back_inserter(cards),
                 [](const test::PdfPage& p) { return p.text.contains(QStringLiteral("学生学籍卡")); });
    QCOMPARE(cards.size(), 1);
    QCOMPARE(cards[0].size, QSize(595, 842));
    QVERIFY(holdsEveryField(cards[0].text));
}

QTEST_GUILESS_MAIN(TestClassWorkbook)
#include "test_classworkbook.moc"
