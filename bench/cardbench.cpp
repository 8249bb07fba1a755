// The record card (学生档案) from the teacher's click to its result, on the
// real window over the real host and the class workbook:
//   look-up: 输入序号查学生情况 clicked -> the 47 boxes filled and painted;
//   store:   将输入情况存入EXCEL clicked -> the workbook file saved.
// The clicks are mouse events delivered to the buttons through Qt's event
// system; each time runs until the click's handler has returned and the
// events it posted (the repaint) are processed.
//   velmora_cardbench --workbook=CLASS.xls [--host=embedded|libreoffice] [--runs=N]
// Prints min / median / max in milliseconds.
#include "app/hostchoice.h"
#include "archive/archivefieldmap.h"
#include "archive/studentarchiveform.h"
#include "common/messages.h"
#include "sampleworkbooks.h"
#include "workbook/connection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace velmora;

namespace {

[[noreturn]] void fail(const char* why) {
    std::fprintf(stderr, "velmora_cardbench: %s\n", why);
    std::exit(1);
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double clickMs(QPushButton* button) {
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
    return clock.nsecsElapsed() / 1e6;
}

void report(const char* what, std::vector<double> v, double aimMs) {
    std::sort(v.begin(), v.end());
    std::printf("%8.2f %8.2f %8.2f   %s (aim: under %.0f ms)\n", v.front(), v[v.size() / 2],
                v.back(), what, aimMs);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString workbook, host = QStringLiteral("embedded");
    int runs = 20;
    for (const QString& a : QApplication::arguments().mid(1)) {
        if (a.startsWith(QLatin1String("--workbook=")))
            workbook = a.section(u'=', 1);
        else if (a.startsWith(QLatin1String("--host=")))
            host = a.section(u'=', 1);
        else if (a.startsWith(QLatin1String("--runs=")))
            runs = std::max(1, a.section(u'=', 1).toInt());
        else
            fail("usage: velmora_cardbench --workbook=CLASS.xls [--host=...] [--runs=N]");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmoravm2.1.xls"));
    if (workbook.isEmpty() || !QFile::copy(workbook, path))
        fail("cannot copy the workbook given by --workbook");
    const HostChoice choice =
        host == QLatin1String("libreoffice") ? HostChoice::LibreOffice : HostChoice::Embedded;
    StudentWorkbook::start(hostFactory(choice, path)(), path);

    MessageRecorder messages;  // a message would mean the card did not do its job
    archive::StudentArchiveForm form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        fail("the record card was not shown");
    auto* number = form.findChild<QLineEdit*>(QStringLiteral("TextBox1"));
    auto* lookUp = form.findChild<QPushButton*>(QStringLiteral("CommandButton2"));
    auto* store = form.findChild<QPushButton*>(QStringLiteral("CommandButton3"));
    // Single-line boxes, and boxes of several lines for the long records.
    QList<QLineEdit*> lines;
    QList<QPlainTextEdit*> texts;
    for (const archive::ArchiveField& f : archive::archiveFieldMap()) {
        if (auto* text = form.findChild<QPlainTextEdit*>(f.box))
            texts << text;
        else
            lines << form.findChild<QLineEdit*>(f.box);
    }
    const auto anyEmpty = [&] {
        return std::any_of(lines.begin(), lines.end(),
                           [](auto* b) { return b->text().isEmpty(); }) ||
               std::any_of(texts.begin(), texts.end(),
                           [](auto* b) { return b->toPlainText().isEmpty(); });
    };

    std::vector<double> lookUps, stores;
    for (int i = 0; i < runs; ++i) {
        for (QLineEdit* box : lines) box->clear();
        for (QPlainTextEdit* box : texts) box->clear();
        number->setText(QString::number(i % bench::kStudents + 1));
        lookUps.push_back(clickMs(lookUp));
        if (anyEmpty())
            fail("a box stayed empty after the look-up");

        lines[3]->setText(QStringLiteral("第%1次保存").arg(i));
        const QByteArray before = fileBytes(path);
        stores.push_back(clickMs(store));
        if (fileBytes(path) == before)
            fail("the store did not save the workbook file");
    }
    if (!messages.messages().isEmpty())
        fail(qPrintable(messages.texts().join(u'\n')));
    StudentWorkbook::close();

    std::printf("%8s %8s %8s   ms, %d runs, record card, host: %s\n", "min", "median", "max", runs,
                qPrintable(host));
    report("look-up click -> 47 boxes filled", lookUps, 20);
    report("store click -> file saved", stores, 50);
    return 0;
}
