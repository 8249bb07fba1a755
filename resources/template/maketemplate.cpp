// Writes the template workbook from its description:
//   velmora_maketemplate workbook.json Velmoravm2.1.xls
// The description (see description.h) lists the sheets in workbook order:
//   {"styles": {"heading": {"bold": true, "border": "thin"}, ...},
//    "sheets": [{"name": "设置", "widths": {"A": 12}, "heights": {"1": 24},
//                "looks": [["A1:N1", "heading"]], "merge": ["A1:N1"],
//                "freeze": "A2", "gridlines": false,
//                "page": {"orientation": "landscape", "fit": [1, 0],
//                         "printArea": "A1:N12", "titleRows": "1:1", ...},
//                "cells": {"A4": "学校名称", "C1": "=IF(设置!B11=\"\",\"政治\",设置!B11)"},
//                "series": [{"rows": "2:101", "cells": {"B": "=学生档案!C{r}"}}]},
//               ...]}
// Texts are stored as they stand, "=..." as formulas, each with the result
// the engine computes for it (a formula it cannot compute stops the build).
// Any fault in the description stops the build with a message.
#include "description.h"
#include "workbook/atomicfile.h"
#include "workbook/hosterror.h"
#include "workbook/xls/xlsworkbook.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <cstdio>

using namespace velmora;
using namespace velmora::maketemplate;

namespace {

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "velmora_maketemplate: %s\n", qUtf8Printable(why));
    std::exit(1);
}

QJsonObject readJson(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (doc.isNull())
        fail(
            QStringLiteral("%1: %2 at offset %3").arg(path, error.errorString()).arg(error.offset));
    return doc.object();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        fail(QStringLiteral("usage: velmora_maketemplate DESCRIPTION.json OUTPUT.xls"));
    try {
        const std::vector<TemplateSheet> sheets = readDescription(readJson(args[1]));
        std::vector<xls::SheetLayout> layouts;
        for (const TemplateSheet& s : sheets) layouts.push_back(s.layout);
        xls::XlsWorkbook book = xls::XlsWorkbook::create(layouts);
        for (size_t s = 0; s < sheets.size(); ++s)
            for (const auto& [at, content] : sheets[s].contents) {
                const QString where = sheets[s].layout.name + u'!' + a1(at) + QStringLiteral(": ");
                try {
                    if (content.startsWith(u'='))
                        book.setFormula(int(s), at, content.mid(1));
                    else
                        book.setText(int(s), at, content);
                } catch (const xls::XlsError& e) {
                    fail(where + e.message());
                }
            }
        // Every formula's result goes into the file with it.
        book.recalculate();
        for (int s = 0; s < int(sheets.size()); ++s)
            for (const xls::XlsWorkbook::FormulaCell& f : book.formulas(s))
                if (!f.computed)
                    fail(QStringLiteral("%1!%2: the engine cannot compute =%3")
                             .arg(sheets[size_t(s)].layout.name, a1(f.cell), f.text));
        writeFileAtomically(args[2], book.toBytes());
    } catch (const DescriptionError& e) {
        fail(QString::fromStdString(e.what()));
    } catch (const HostError& e) {
        fail(e.message());
    } catch (const xls::XlsError& e) {
        fail(e.message());
    }
    return 0;
}
