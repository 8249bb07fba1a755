// Google Benchmark of the embedded sheet window, each against a plain
// QTableWidget doing the same in the same run:
//  - a full repaint of a 1920 x 1080 grid over a sheet of 10,000 rows of 47
//    columns (the peer: a QTableWidget of the same size holding the same
//    texts);
//  - pasting 50 x 13 scores (tab-separated text from the clipboard) into
//    各科成绩!C2 of a class workbook whose 60 students have their total,
//    average and rank as formulas beside the scores: one undoable step, the
//    recalculation of the formulas depending on the pasted cells and the
//    repaint after it (the peer: setting the same 650 texts into a
//    QTableWidget and repainting it);
//  - the same paste into the shipped template, whose totals, means, ranks,
//    statistics and comment lines follow the scores (the peer as above).
// Runs offscreen: velmora_sheetbench [benchmark flags]
#include "common/fonts.h"
#include "sampleworkbooks.h"
#include "workbook/embedded/sheetclipboard.h"
#include "workbook/embedded/sheetedits.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/layout.h"
#include "workbook/xls/xlsworkbook.h"

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QTableWidget>
#include <memory>

using namespace velmora;

namespace {

constexpr QSize kScreen(1920, 1080);

struct Grid {
    std::unique_ptr<WorkbookDocument> document;
    std::unique_ptr<SheetEdits> edits;
    std::unique_ptr<SheetView> view;

    Grid(const QByteArray& file, const QString& sheet) {
        document = std::make_unique<WorkbookDocument>(xls::XlsWorkbook::fromBytes(file));
        edits = std::make_unique<SheetEdits>(*document);
        const int index = document->sheet(sheet);
        view = std::make_unique<SheetView>(new SheetModel(*document, index));
        view->sheetModel()->setParent(view.get());
        view->setEdits(edits.get());
        view->resize(kScreen);
        view->show();
        view->applyFileSizes(document->book());
        QApplication::processEvents();
    }
};

// The peer shows as many cells as the grid: the same column widths, row
// heights and font.
QTableWidget* peerTable(int rows, int columns, const SheetView& like) {
    auto* table = new QTableWidget(rows, columns);
    table->setFont(like.sheetModel()->style(0, 0).font);
    table->verticalHeader()->setDefaultSectionSize(like.rowHeight(0));
    table->verticalHeader()->setMinimumSectionSize(4);
    for (int c = 0; c < columns; ++c) table->setColumnWidth(c, like.columnWidth(c));
    table->resize(kScreen);
    table->show();
    QApplication::processEvents();
    return table;
}

QString scoresText() {
    QString tsv;
    for (int r = 0; r < 50; ++r) {
        QStringList row;
        for (int c = 0; c < 13; ++c) row << QString::number(60 + (r * 13 + c) % 41);
        tsv += row.join(u'\t') + u'\n';
    }
    return tsv;
}

// Made once and kept to the end: widgets must not outlive the application.
Grid& largeGrid() {
    static Grid* grid = new Grid(bench::largeWorkbook(), QStringLiteral("大表"));
    return *grid;
}

// The class workbook with each student's total, average and rank in P, Q
// and R of 各科成绩, as a teacher types them.
QByteArray classWorkbookWithTotals() {
    xls::XlsWorkbook book = xls::XlsWorkbook::fromBytes(bench::classWorkbook());
    const int scores = book.sheetIndex(layout::kScoresSheet);
    const int last = bench::kStudents + 1;
    for (int row = 2; row <= last; ++row) {
        book.enter(scores, {row - 1, 15}, QStringLiteral("=SUM(C%1:O%1)").arg(row));
        book.enter(scores, {row - 1, 16}, QStringLiteral("=AVERAGE(C%1:O%1)").arg(row));
        book.enter(scores, {row - 1, 17}, QStringLiteral("=RANK(P%1,$P$2:$P$%2)").arg(row).arg(last));
    }
    return book.toBytes();
}

Grid& classGrid() {
    static Grid* grid = new Grid(classWorkbookWithTotals(), layout::kScoresSheet);
    return *grid;
}

// The template the build writes, as a first start installs it.
Grid& templateGrid() {
    static Grid* grid = [] {
        QFile file(QStringLiteral(VELMORA_TEMPLATE_FILE));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", VELMORA_TEMPLATE_FILE);
        return new Grid(file.readAll(), layout::kScoresSheet);
    }();
    return *grid;
}

void BM_RepaintLargeSheet(benchmark::State& state) {
    Grid* grid = &largeGrid();
    grid->view->scrollTo(grid->view->model()->index(5000, 10));
    for (auto _ : state) grid->view->viewport()->repaint();
}

void BM_RepaintLargeSheetPeer(benchmark::State& state) {
    static QTableWidget* table = [] {
        const xls::XlsWorkbook book = xls::XlsWorkbook::fromBytes(bench::largeWorkbook());
        QTableWidget* t = peerTable(10000, 47, *largeGrid().view);
        book.forEachCell(0, [t](CellRef ref, const CellValue& v) {
            t->setItem(ref.row, ref.column, new QTableWidgetItem(v.toText()));
        });
        return t;
    }();
    table->scrollToItem(table->item(5000, 10));
    for (auto _ : state) table->viewport()->repaint();
}

void pasteScores(benchmark::State& state, Grid* grid) {
    QApplication::clipboard()->setText(scoresText());
    double firstTotal = 0;
    for (int c = 0; c < 13; ++c) firstTotal += 60 + c % 41;
    for (auto _ : state) {
        grid->view->goTo({1, 2}, {1, 2});
        pasteCells(*grid->view, *grid->edits);
        grid->view->viewport()->repaint();
        state.PauseTiming();
        // The first student's total is the sum of the pasted first row.
        const int sheet = grid->view->sheetModel()->sheet();
        if (grid->document->read(sheet, {1, 15}).number != firstTotal) {
            state.SkipWithError("the totals were not recalculated");
            break;
        }
        grid->edits->undo();
        state.ResumeTiming();
    }
}

void BM_PasteScores(benchmark::State& state) {
    pasteScores(state, &classGrid());
}

void BM_PasteScoresIntoTemplate(benchmark::State& state) {
    pasteScores(state, &templateGrid());
}

void BM_PasteScoresPeer(benchmark::State& state) {
    static QTableWidget* table = peerTable(200, 256, *classGrid().view);
    const QString text = scoresText();
    for (auto _ : state) {
        const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
        for (int r = 0; r < lines.size(); ++r) {
            const QStringList cells = lines[r].split(u'\t');
            for (int c = 0; c < cells.size(); ++c)
                table->setItem(1 + r, 2 + c, new QTableWidgetItem(cells[c]));
        }
        table->viewport()->repaint();
    }
}

}  // namespace

BENCHMARK(BM_RepaintLargeSheet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintLargeSheetPeer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteScores)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteScoresPeer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteScoresIntoTemplate)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
