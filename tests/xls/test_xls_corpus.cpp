#include "libreoffice.h"
#include "workbook/xls/xlsworkbook.h"
#include "xlrdview.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <optional>

using namespace velmora;
using xls::XlsWorkbook;

namespace {

struct Write {
    int sheet = 0;
    CellRef at;
    QString text;
    int xf = -1;  // the cell's format before the write; -1: a new cell
};

struct Case {
    QString original, saved;
    std::vector<Write> writes;
    // Formula cells whose results the writes changed, with the engine's texts.
    std::map<std::pair<int, CellRef>, QString> recomputed;
    QJsonObject before, after;
};

QString longText() {
    QString s;
    for (int i = 1; s.size() < 3000; ++i)
        s += QStringLiteral("第%1行：该生本学期学习认真，积极参加班级活动，尊敬师长，团结同学。\n")
                 .arg(i);
    return s;
}

// A cell as xlrd_view.py gives it ([row, col, type, value, xf]) in our
// cell-text rules; nullopt for dates, which xlrd gives as serials.
std::optional<QString> xlrdText(const QJsonArray& cell) {
    switch (cell[2].toInt()) {
        case 1: return cell[3].toString();
        case 2: return numberText(cell[3].toDouble());
        case 4: return cell[3].toInt() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        case 5: return errorText(quint8(cell[3].toInt()));
        case 6: return QString();
        default: return std::nullopt;
    }
}

QJsonArray cellsOf(const QJsonObject& view, int sheet) {
    return view[QStringLiteral("sheets")].toArray()[sheet][QStringLiteral("cells")].toArray();
}

// The cells a test writes into, on the first sheet holding cells: its first
// text, number and formatted blank cell, a new cell in a row of its own below
// everything, and a new cell at the end of an existing row.
std::vector<Write> planWrites(const QJsonObject& view) {
    int sheet = 0;
    while (sheet + 1 < view[QStringLiteral("sheets")].toArray().size() &&
           cellsOf(view, sheet).isEmpty())
        ++sheet;
    const QJsonArray cells = cellsOf(view, sheet);
    std::vector<Write> writes;
    std::map<int, int> lastColumn;
    int lastRow = -1;
    const auto firstOfType = [&](int type, const QString& text) {
        for (const QJsonValue& v : cells) {
            const QJsonArray c = v.toArray();
            if (c[2].toInt() == type) {
                writes.push_back({sheet, {c[0].toInt(), c[1].toInt()}, text, c[4].toInt()});
                return;
            }
        }
    };
    for (const QJsonValue& v : cells) {
        const QJsonArray c = v.toArray();
        lastRow = std::max(lastRow, c[0].toInt());
        lastColumn[c[0].toInt()] = std::max(lastColumn[c[0].toInt()], c[1].toInt());
    }
    firstOfType(1, QStringLiteral("改写后的文字"));
    firstOfType(2, QStringLiteral("00123"));
    firstOfType(6, QStringLiteral("空白格写入"));
    writes.push_back({sheet, {lastRow + 2, 1}, longText(), -1});
    if (!lastColumn.empty() && lastColumn.begin()->second < 250)
        writes.push_back({sheet,
                          {lastColumn.begin()->first, lastColumn.begin()->second + 3},
                          QStringLiteral("行尾新格"),
                          -1});
    return writes;
}

}  // namespace

// Every corpus file goes through read, write a few cells, save, and is then
// read by python3-xlrd and LibreOffice: the written cells hold the new texts
// and nothing else changed.
class TestXlsCorpus : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void files_data();
    void writtenCellsHoldTheirTexts_data() { files_data(); }
    void writtenCellsHoldTheirTexts();
    void everythingElseIsUnchanged_data() { files_data(); }
    void everythingElseIsUnchanged();
    void libreOfficeReadsTheResult_data() { files_data(); }
    void libreOfficeReadsTheResult();

private:
    QTemporaryDir dir_;
    std::vector<Case> cases_;
    test::ConversionRun csv_;
};

void TestXlsCorpus::initTestCase() {
    if (!test::xlrdAvailable())
        QSKIP("python3-xlrd is not installed");
    const QStringList files = test::corpusFiles();
    QVERIFY(!files.isEmpty());
    const QList<QJsonObject> before = test::xlrdView(files);
    QStringList saved;
    for (qsizetype i = 0; i < files.size(); ++i) {
        Case c;
        c.original = files[i];
        c.saved = dir_.filePath(QFileInfo(files[i]).fileName());
        c.before = before[i];
        c.writes = planWrites(c.before);
        try {
            XlsWorkbook wb = XlsWorkbook::load(c.original);
            // Cells of array formulas refuse single writes, as in Excel:
            // they are left out, and so checked to be unchanged.
            std::erase_if(c.writes, [&](const Write& w) {
                try {
                    wb.setText(w.sheet, w.at, w.text);
                    return false;
                } catch (const xls::XlsError&) {
                    return true;
                }
            });
            for (const XlsWorkbook::SheetCell& r : wb.takeChangedCells())
                c.recomputed[{r.sheet, r.cell}] = wb.cell(r.sheet, r.cell).toText();
            QFile out(c.saved);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(wb.toBytes());
        } catch (const xls::XlsError& e) {
            QFAIL(qPrintable(QFileInfo(c.original).fileName() + u' ' + e.message()));
        }
        saved << c.saved;
        cases_.push_back(std::move(c));
    }
    const QList<QJsonObject> after = test::xlrdView(saved);
    for (size_t i = 0; i < cases_.size(); ++i) cases_[i].after = after[qsizetype(i)];
    if (!test::sofficePath().isEmpty()) {
        QDir(dir_.path()).mkdir(QStringLiteral("csv"));
        csv_ = test::convertToCsv(saved, dir_.filePath(QStringLiteral("csv")));
    }
}

void TestXlsCorpus::files_data() {
    QTest::addColumn<int>("index");
    for (size_t i = 0; i < cases_.size(); ++i)
        QTest::newRow(qPrintable(QFileInfo(cases_[i].original).fileName())) << int(i);
}

void TestXlsCorpus::writtenCellsHoldTheirTexts() {
    QFETCH(int, index);
    const Case& c = cases_[size_t(index)];
    QVERIFY2(!c.after.contains(QStringLiteral("error")),
             qPrintable(c.after[QStringLiteral("error")].toString()));
    QVERIFY(!c.writes.empty());
    for (const Write& w : c.writes) {
        bool found = false;
        for (const QJsonValue& v : cellsOf(c.after, w.sheet)) {
            const QJsonArray cell = v.toArray();
            if (CellRef{cell[0].toInt(), cell[1].toInt()} != w.at)
                continue;
            found = true;
            QCOMPARE(cell[2].toInt(), 1);  // text
            QCOMPARE(cell[3].toString(), w.text);
            if (w.xf >= 0)
                QCOMPARE(cell[4].toInt(), w.xf);
        }
        QVERIFY2(found, qPrintable(a1(w.at)));
    }
}

void TestXlsCorpus::everythingElseIsUnchanged() {
    QFETCH(int, index);
    const Case& c = cases_[size_t(index)];
    for (const char* key : {"datemode", "xf_count", "font_count", "formats", "names"})
        QCOMPARE(c.after[QLatin1String(key)], c.before[QLatin1String(key)]);
    const QJsonArray before = c.before[QStringLiteral("sheets")].toArray();
    const QJsonArray after = c.after[QStringLiteral("sheets")].toArray();
    QCOMPARE(after.size(), before.size());
    for (int s = 0; s < before.size(); ++s) {
        const QJsonObject b = before[s].toObject(), a = after[s].toObject();
        for (const char* key : {"name", "merged", "columns", "default_row_height",
                                "default_column_width", "standard_width"})
            QCOMPARE(a[QLatin1String(key)], b[QLatin1String(key)]);
        // Written cells, and formulas whose results follow from them: these
        // hold what the engine computed.
        const auto written = [&](const QJsonArray& cell) {
            const CellRef at{cell[0].toInt(), cell[1].toInt()};
            return c.recomputed.count({s, at}) ||
                   std::any_of(c.writes.begin(), c.writes.end(),
                               [&](const Write& w) { return w.sheet == s && w.at == at; });
        };
        for (const QJsonValue& v : a[QStringLiteral("cells")].toArray()) {
            const QJsonArray cell = v.toArray();
            const auto r = c.recomputed.find({s, CellRef{cell[0].toInt(), cell[1].toInt()}});
            if (r != c.recomputed.end() && xlrdText(cell))
                QCOMPARE(*xlrdText(cell), r->second);
        }
        QJsonArray keptBefore, keptAfter;
        for (const QJsonValue& v : b[QStringLiteral("cells")].toArray())
            if (!written(v.toArray()))
                keptBefore << v;
        for (const QJsonValue& v : a[QStringLiteral("cells")].toArray())
            if (!written(v.toArray()))
                keptAfter << v;
        QCOMPARE(keptAfter, keptBefore);
        // Rows keep their heights; a row that had no ROW record may get one
        // of the default height.
        const QJsonObject rowsBefore = b[QStringLiteral("rows")].toObject();
        const QJsonObject rowsAfter = a[QStringLiteral("rows")].toObject();
        const QJsonValue fallback = b[QStringLiteral("default_row_height")];
        for (auto it = rowsAfter.begin(); it != rowsAfter.end(); ++it) {
            if (rowsBefore.contains(it.key()))
                QCOMPARE(it.value(), rowsBefore[it.key()]);
            else
                QCOMPARE(it.value().toArray()[0].toInt(),
                         fallback.isNull() ? 255 : fallback.toInt());
        }
        QCOMPARE(rowsAfter.size() >= rowsBefore.size(), true);
    }
}

void TestXlsCorpus::libreOfficeReadsTheResult() {
    QFETCH(int, index);
    if (test::sofficePath().isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    QVERIFY2(csv_.finished, qPrintable(csv_.output));
    const Case& c = cases_[size_t(index)];
    const QDir csvDir(dir_.filePath(QStringLiteral("csv")));
    const QStringList csvs =
        csvDir.entryList({QFileInfo(c.saved).completeBaseName() + QStringLiteral("*.csv")});
    QVERIFY2(!csvs.isEmpty(), qPrintable(csv_.output));
    QString all;
    for (const QString& name : csvs) {
        QFile f(csvDir.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        all += QString::fromUtf8(f.readAll());
    }
    for (const Write& w : c.writes)
        QVERIFY2(all.contains(w.text.left(40)), qPrintable(w.text.left(40)));
}

QTEST_GUILESS_MAIN(TestXlsCorpus)
#include "test_xls_corpus.moc"
