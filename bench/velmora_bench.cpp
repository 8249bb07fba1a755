// Google Benchmark: opening the class workbook, reading and storing one
// record card (47 cells), and the save compared with a plain write and
// fsync of the same bytes, with the save split into building the file and
// the atomic save of its bytes; formulas: full recalculation of a class
// workbook (about 2,000 formulas) and of 10,000 rows of 20 formulas, and one
// write with the recalculation of what depends on it.
//   velmora_bench [benchmark flags]
//   velmora_bench --write-files=DIR   writes class.xls and the formula
//                                     workloads for the peer, then ends
#include "formulaworkloads.h"
#include "sampleworkbooks.h"
#include "workbook/atomicfile.h"
#include "workbook/layout.h"
#include "workbook/xls/xlsworkbook.h"

#include <benchmark/benchmark.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

using namespace velmora;
using xls::XlsWorkbook;

namespace {

struct Files {
    QTemporaryDir dir;
    QString classFile = dir.filePath(QStringLiteral("class.xls"));
    QString largeFile = dir.filePath(QStringLiteral("large.xls"));
    QByteArray classBytes = bench::classWorkbook();

    Files() {
        QFile f(classFile);
        if (f.open(QIODevice::WriteOnly))
            f.write(classBytes);
    }
};

Files& files() {
    static Files f;
    return f;
}

QList<CellRef> recordCard(int student) {
    QList<CellRef> cells;
    for (const QString& column : layout::archiveColumns())
        cells << CellRef{layout::rowOf(student) - 1, *columnIndex(column)};
    return cells;
}

void BM_OpenClassWorkbook(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(XlsWorkbook::load(files().classFile));
    state.SetBytesProcessed(state.iterations() * files().classBytes.size());
}

void BM_ReadRecordCard(benchmark::State& state) {
    const XlsWorkbook wb = XlsWorkbook::load(files().classFile);
    const int sheet = wb.sheetIndex(layout::kArchiveSheet);
    int student = 0;
    for (auto _ : state) {
        for (const CellRef& at : recordCard(student % bench::kStudents + 1))
            benchmark::DoNotOptimize(wb.cell(sheet, at).toText());
        ++student;
    }
}

// The teacher changes a student's record card and stores it: 47 new texts,
// then the whole workbook goes to the disk through the atomic save.
void editCard(XlsWorkbook& wb, int round) {
    const int sheet = wb.sheetIndex(layout::kArchiveSheet);
    int field = 0;
    for (const CellRef& at : recordCard(1))
        wb.setText(sheet, at, QStringLiteral("第%1次保存的字段%2").arg(round).arg(field++));
}

QByteArray storeCard(XlsWorkbook& wb, int round, const QString& path) {
    editCard(wb, round);
    QByteArray file = wb.toBytes();
    writeFileAtomically(path, file);
    return file;
}

void BM_StoreRecordCard(benchmark::State& state) {
    XlsWorkbook wb = XlsWorkbook::load(files().classFile);
    const QString path = files().dir.filePath(QStringLiteral("stored.xls"));
    int round = 0;
    qint64 bytes = 0;
    for (auto _ : state) bytes = storeCard(wb, round++, path).size();
    state.counters["file_bytes"] = double(bytes);
}

// The two halves of a store on their own: the engine building the file, and
// the atomic save of those bytes (temporary file, fsync, rename).
void BM_BuildStoredFile(benchmark::State& state) {
    XlsWorkbook wb = XlsWorkbook::load(files().classFile);
    int round = 0;
    for (auto _ : state) {
        editCard(wb, round++);
        benchmark::DoNotOptimize(wb.toBytes());
    }
}

void BM_AtomicSave(benchmark::State& state) {
    XlsWorkbook wb = XlsWorkbook::load(files().classFile);
    const QString path = files().dir.filePath(QStringLiteral("stored.xls"));
    const QByteArray bytes = storeCard(wb, 0, path);
    for (auto _ : state) writeFileAtomically(path, bytes);
}

// The same number of bytes written and flushed to the disk, nothing else.
void BM_PlainWriteAndFsync(benchmark::State& state) {
    XlsWorkbook wb = XlsWorkbook::load(files().classFile);
    const QByteArray bytes = storeCard(wb, 0, files().dir.filePath(QStringLiteral("stored.xls")));
    const QString path = files().dir.filePath(QStringLiteral("plain.bin"));
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            state.SkipWithError("cannot write");
        f.write(bytes);
        f.flush();
        fsync(f.handle());
    }
    state.counters["file_bytes"] = double(bytes.size());
}

void BM_OpenLargeWorkbook(benchmark::State& state) {
    static const bool written = [] {
        QFile f(files().largeFile);
        return f.open(QIODevice::WriteOnly) && f.write(bench::largeWorkbook()) > 0;
    }();
    if (!written)
        state.SkipWithError("cannot write the large workbook");
    for (auto _ : state) benchmark::DoNotOptimize(XlsWorkbook::load(files().largeFile));
}

struct FormulaFiles {
    bench::Workload classWork = bench::classFormulas();
    bench::Workload largeWork = bench::largeFormulas();
    QByteArray classBytes = bench::workloadFile(classWork);
    QByteArray largeBytes = bench::workloadFile(largeWork);
};

const FormulaFiles& formulaFiles() {
    static const FormulaFiles f;
    return f;
}

// Every formula computed anew, as on opening (the calculation already built
// by a first recalculation, as the host has it).
void recalculate(benchmark::State& state, const bench::Workload& w, const QByteArray& bytes) {
    XlsWorkbook wb = XlsWorkbook::fromBytes(bytes);
    wb.recalculate();
    for (auto _ : state) wb.recalculate();
    state.counters["formulas"] = w.formulas();
}

void BM_RecalculateClassFormulas(benchmark::State& state) {
    recalculate(state, formulaFiles().classWork, formulaFiles().classBytes);
}

void BM_RecalculateLargeFormulas(benchmark::State& state) {
    recalculate(state, formulaFiles().largeWork, formulaFiles().largeBytes);
}

// Opening the large formula workbook and its first full recalculation.
void BM_OpenAndRecalculateLargeFormulas(benchmark::State& state) {
    for (auto _ : state) {
        XlsWorkbook wb = XlsWorkbook::fromBytes(formulaFiles().largeBytes);
        wb.recalculate();
    }
}

// One score changed, and a cell depending on it read: the recalculation of
// everything depending on the write happens before the read.
void BM_WriteAndDependents(benchmark::State& state) {
    const bench::Workload& w = formulaFiles().classWork;
    XlsWorkbook wb = XlsWorkbook::fromBytes(formulaFiles().classBytes);
    wb.recalculate();
    const CellRef at = *parseA1(w.write.address);
    const CellRef dependent = *parseA1(w.dependent.second);
    double score = 98;
    for (auto _ : state) {
        wb.setNumber(w.write.sheet, at, score);
        benchmark::DoNotOptimize(wb.cell(w.dependent.first, dependent));
        score = score == 98 ? 99 : 98;
    }
}

}  // namespace

BENCHMARK(BM_RecalculateClassFormulas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteAndDependents)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecalculateLargeFormulas)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenAndRecalculateLargeFormulas)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_OpenClassWorkbook)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRecordCard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StoreRecordCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildStoredFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtomicSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteAndFsync)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLargeWorkbook)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    if (argc == 2 && std::strncmp(argv[1], "--write-files=", 14) == 0) {
        const QDir dir(QString::fromLocal8Bit(argv[1] + 14));
        const auto json = [](const bench::Workload& w) {
            return QJsonDocument(bench::workloadJson(w)).toJson(QJsonDocument::Compact);
        };
        for (const auto& [name, bytes] :
             {std::pair{"class.xls", bench::classWorkbook()},
              std::pair{"class-formulas.json", json(formulaFiles().classWork)},
              std::pair{"large-formulas.json", json(formulaFiles().largeWork)}}) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
                std::fprintf(stderr, "cannot write %s\n", name);
                return 1;
            }
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
