// velmora-xls: looks into a class workbook from the command line.
#include "commands.h"
#include "output.h"
#include "workbook/hosterror.h"
#include "workbook/xls/xlsworkbook.h"

#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <new>

namespace {

const char kUsage[] =
    "用法:\n"
    "  velmora-xls sheets FILE                 每行一个工作表名称\n"
    "  velmora-xls get FILE SHEET ADDR         单元格的文字\n"
    "  velmora-xls set FILE SHEET ADDR TEXT    把 TEXT 作为文字存入单元格并保存\n"
    "  velmora-xls dump FILE                   每个非空单元格一行 JSON\n"
    "  velmora-xls records FILE                记录清单（调试用）\n";

int fail(const QString& message) {
    std::fprintf(stderr, "velmora-xls: %s\n", message.toUtf8().constData());
    return 1;
}

int run(const QStringList& args) {
    using namespace velmora::xlstool;
    const QString command = args.value(1);
    const qsizetype n = args.size();
    Output out;
    if (command == QLatin1String("sheets") && n == 3)
        listSheets(args[2], out);
    else if (command == QLatin1String("get") && n == 5)
        getCell(args[2], args[3], args[4], out);
    else if (command == QLatin1String("set") && n == 6)
        setCell(args[2], args[3], args[4], args[5]);
    else if (command == QLatin1String("dump") && n == 3)
        dumpCells(args[2], out);
    else if (command == QLatin1String("records") && n == 3)
        dumpRecords(args[2], out);
    else {
        std::fputs(kUsage, stderr);
        return 1;
    }
    out.flush();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        return run(QCoreApplication::arguments());
    } catch (const velmora::xls::XlsError& e) {
        return fail(e.message());
    } catch (const velmora::HostError& e) {
        return fail(e.message());
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("内存不足。"));
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
}
