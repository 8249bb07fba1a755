// velmora-xls: looks into a class workbook from the command line.
#include "commands.h"
#include "failures.h"
#include "output.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace {

using namespace velmora::xlstool;

// Printing is a program of its own beside this one (installed under
// libexec, or in the same folder in a build tree): it replaces this process,
// so its output and exit status are the command's.
void runPrinter(const QStringList& args) {
    const QDir here(QCoreApplication::applicationDirPath());
    const QString name = QStringLiteral("velmora-xls-pdf");
    for (const QString& path : {here.filePath(QStringLiteral("../libexec/velmora/") + name),
                                here.filePath(name)}) {
        if (!QFileInfo(path).isExecutable())
            continue;
        QList<QByteArray> words{QFile::encodeName(path)};
        for (const QString& arg : args)
            words << QFile::encodeName(arg);
        std::vector<char*> argv;
        for (QByteArray& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        std::fflush(stdout);
        ::execv(argv[0], argv.data());
        throw std::runtime_error("无法启动打印程序 " + path.toStdString());
    }
    throw std::runtime_error("找不到打印程序 " + name.toStdString() + "，velmora-xls 的安装不完整。");
}

// One verb of the tool: its name, its arguments as the usage names them
// (it takes as many as are named), what it does, and the call.
struct Verb {
    const char* name;
    const char* arguments;
    const char* summary;
    void (*run)(const QStringList& args, Output& out);
};

const Verb kVerbs[] = {
    {"sheets", "FILE", "每行一个工作表名称",
     [](const QStringList& a, Output& out) { listSheets(a[0], out); }},
    {"get", "FILE SHEET ADDR", "单元格的文字",
     [](const QStringList& a, Output& out) { getCell(a[0], a[1], a[2], out); }},
    {"set", "FILE SHEET ADDR TEXT", "把 TEXT 作为文字存入单元格并保存",
     [](const QStringList& a, Output&) { setCell(a[0], a[1], a[2], a[3]); }},
    {"put", "FILE SHEET ADDR INPUT", "像在单元格中输入一样存入（= 开头为公式），计算并保存",
     [](const QStringList& a, Output&) { putCell(a[0], a[1], a[2], a[3]); }},
    {"dump", "FILE", "每个非空单元格一行 JSON",
     [](const QStringList& a, Output& out) { dumpCells(a[0], out); }},
    {"formulas", "FILE", "每个公式单元格一行 JSON（公式及其结果）",
     [](const QStringList& a, Output& out) { listFormulas(a[0], out); }},
    {"records", "FILE", "记录清单（调试用）",
     [](const QStringList& a, Output& out) { dumpRecords(a[0], out); }},
    {"pdf", "FILE SHEET OUT.pdf", "把工作表按打印的样子输出为 PDF 文件",
     [](const QStringList& a, Output&) { runPrinter(a); }},
};

qsizetype argumentCount(const Verb& verb) {
    return QString::fromLatin1(verb.arguments).split(u' ', Qt::SkipEmptyParts).size();
}

QString usage() {
    QStringList calls;
    qsizetype width = 0;
    for (const Verb& verb : kVerbs) {
        calls << QStringLiteral("velmora-xls %1 %2")
                     .arg(QLatin1String(verb.name), QLatin1String(verb.arguments));
        width = std::max(width, calls.last().size());
    }
    QString text = QStringLiteral("用法：\n");
    for (qsizetype i = 0; i < calls.size(); ++i)
        text += QStringLiteral("  %1  %2\n")
                    .arg(calls[i], -int(width))
                    .arg(QString::fromUtf8(kVerbs[i].summary));
    text += QStringLiteral("  %1  %2\n")
                .arg(QStringLiteral("velmora-xls --help"), -int(width))
                .arg(QStringLiteral("本说明"));
    return text;
}

int run(const QStringList& args) {
    const QString command = args.value(1);
    Output out;
    if (args.size() == 2 &&
        (command == QLatin1String("--help") || command == QLatin1String("-h"))) {
        out.text(usage());
        out.flush();
        return 0;
    }
    const QStringList arguments = args.mid(2);
    const auto verb = std::find_if(std::begin(kVerbs), std::end(kVerbs), [&](const Verb& v) {
        return command == QLatin1String(v.name) && arguments.size() == argumentCount(v);
    });
    if (verb == std::end(kVerbs)) {
        std::fputs(usage().toUtf8().constData(), stderr);
        return 1;
    }
    verb->run(arguments, out);
    out.flush();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return reportingFailures([] { return run(QCoreApplication::arguments()); });
}
