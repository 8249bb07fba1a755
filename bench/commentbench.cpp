// Google Benchmark of the comment writer's class reading: what the window
// does when it opens and after each store, for a class of 100 students with
// comments of about 200 characters built from library sentences (so many
// are shared):
//  - BM_ReadClassComments: 学生档案 A and B, 写评语 B and AM of every row
//    read cell by cell through the connection over the embedded host, and
//    the reuse index built from them (aim: under 20 ms);
//  - BM_ReadClassCommentsPeer: the same cells read straight from the engine
//    and every sentence put into a plain hash of sentence to students;
//  - BM_ReuseLineKeystroke: what each keystroke costs afterwards, the length
//    and the reuse look-up of one comment (no reads);
//  - BM_ReadClassCommentsLibreOffice (where the LibreOffice host is built and
//    an office is installed): the first benchmark over LibreOffice Calc.
// Runs offscreen: velmora_commentbench [benchmark flags]
#include "comments/classcomments.h"
#include "comments/commentlength.h"
#include "comments/librarysearch.h"
#include "comments/reuseindex.h"
#include "workbook/connection.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/layout.h"
#include "workbook/xls/xlsworkbook.h"

#ifdef VELMORA_HAVE_LOHOST
#include "workbook/libreoffice/libreofficehost.h"
#endif

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

using namespace velmora;
using xls::XlsWorkbook;

namespace {

constexpr int kStudents = 100;

CellRef at(const QString& column, int number) {
    return CellRef{layout::rowOf(number) - 1, *columnIndex(column)};
}

// Student n's comment: about 200 characters of library sentences, chosen so
// that neighbours share some.
QString commentOf(int n) {
    const QStringList& library = comments::builtInSentences();
    QString comment;
    for (int i = 0; comment.size() < 200; ++i)
        comment += library[(n * 5 + i * i * 37) % library.size()];
    return comment;
}

QByteArray classFile() {
    XlsWorkbook wb = XlsWorkbook::create(
        {layout::kArchiveSheet, layout::kCommentsSheet, layout::kListsSheet});
    const int archive = wb.sheetIndex(layout::kArchiveSheet);
    const int comments = wb.sheetIndex(layout::kCommentsSheet);
    for (int n = 1; n <= kStudents; ++n) {
        wb.setText(archive, at(layout::kArchiveNumberColumn, n), QString::number(n));
        wb.setText(archive, at(layout::kArchiveRollColumn, n), QString::number(2025010000 + n));
        wb.setText(comments, at(layout::kCommentsIdentityColumn, n), QStringLiteral("学生%1").arg(n));
        wb.setText(comments, at(layout::kCommentColumn, n), commentOf(n));
    }
    return wb.toBytes();
}

struct Class {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("class.xls"));
    QByteArray bytes = classFile();

    Class() {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        auto host = std::make_unique<EmbeddedHost>();
        host->open(path);
        StudentWorkbook::adopt(std::move(host), path);
    }
};

Class& theClass() {
    static Class* c = new Class;  // the connection stays to the end
    return *c;
}

void readClass(benchmark::State& state) {
    for (auto _ : state) {
        const QList<comments::StudentComment> students = comments::readClassComments();
        benchmark::DoNotOptimize(comments::ReuseIndex(students));
    }
}

void BM_ReadClassComments(benchmark::State& state) {
    theClass();
    readClass(state);
}

#ifdef VELMORA_HAVE_LOHOST
// Runs last: the connection goes over to Calc for it and is closed after.
void BM_ReadClassCommentsLibreOffice(benchmark::State& state) {
    const auto mode = LibreOfficeHost::Mode::Headless;
    if (const QString reason = LibreOfficeHost::unavailableReason(mode); !reason.isEmpty()) {
        state.SkipWithError(qPrintable(reason));
        return;
    }
    const QString copy = theClass().dir.filePath(QStringLiteral("calc.xls"));
    QFile::copy(theClass().path, copy);
    auto host = std::make_unique<LibreOfficeHost>(mode);
    host->open(copy);
    StudentWorkbook::adopt(std::move(host), copy);
    readClass(state);
    StudentWorkbook::close();
}
#endif

void BM_ReadClassCommentsPeer(benchmark::State& state) {
    const XlsWorkbook wb = XlsWorkbook::fromBytes(theClass().bytes);
    const int archive = wb.sheetIndex(layout::kArchiveSheet);
    const int sheet = wb.sheetIndex(layout::kCommentsSheet);
    for (auto _ : state) {
        QHash<QString, QList<int>> users;
        for (int n = 1; n <= kStudents + 30; ++n) {
            if (wb.cell(archive, at(layout::kArchiveNumberColumn, n)).toText().isEmpty())
                benchmark::DoNotOptimize(wb.cell(archive, at(layout::kArchiveRollColumn, n)).toText());
            benchmark::DoNotOptimize(wb.cell(sheet, at(layout::kCommentsIdentityColumn, n)).toText());
            const QString comment = wb.cell(sheet, at(layout::kCommentColumn, n)).toText();
            for (const QString& s : comment.split(u'。', Qt::SkipEmptyParts)) users[s] << n;
        }
        benchmark::DoNotOptimize(users);
    }
}

void BM_ReuseLineKeystroke(benchmark::State& state) {
    theClass();
    const comments::ReuseIndex index(comments::readClassComments());
    const QString comment = commentOf(7);
    for (auto _ : state) {
        benchmark::DoNotOptimize(comments::commentLength(comment));
        benchmark::DoNotOptimize(comments::reuseLine(index.reusesIn(comment, 40)));
    }
}

}  // namespace

BENCHMARK(BM_ReadClassComments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadClassCommentsPeer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReuseLineKeystroke)->Unit(benchmark::kMicrosecond);
#ifdef VELMORA_HAVE_LOHOST
BENCHMARK(BM_ReadClassCommentsLibreOffice)->Unit(benchmark::kMillisecond)->Iterations(5);
#endif

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
