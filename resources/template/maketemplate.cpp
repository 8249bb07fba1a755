// Writes the template workbook from its description:
//   velmora_maketemplate workbook.json Velmoravm2.1.xls
// The description lists the sheets in workbook order, each with the texts of
// its cells by A1 address and the widths of its columns in characters:
//   {"sheets": [{"name": "设置", "cells": {"A4": "学校名称", ...},
//                "widths": {"A": 12, ...}}, ...]}
// Any fault in the description stops the build with a message.
#include "workbook/atomicfile.h"
#include "workbook/cellref.h"
#include "workbook/hosterror.h"
#include "workbook/xls/xlsworkbook.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

using namespace velmora;

namespace {

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "velmora_maketemplate: %s\n", qUtf8Printable(why));
    std::exit(1);
}

QJsonArray readSheets(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(path, f.errorString()));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (doc.isNull())
        fail(
            QStringLiteral("%1: %2 at offset %3").arg(path, error.errorString()).arg(error.offset));
    const QJsonArray sheets = doc.object().value(QStringLiteral("sheets")).toArray();
    if (sheets.isEmpty())
        fail(QStringLiteral("%1 lists no sheets").arg(path));
    return sheets;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        fail(QStringLiteral("usage: velmora_maketemplate DESCRIPTION.json OUTPUT.xls"));
    const QJsonArray sheets = readSheets(args[1]);

    QStringList names;
    QList<QMap<int, double>> widths;
    for (const QJsonValue& sheet : sheets) {
        const QString name = sheet.toObject().value(QStringLiteral("name")).toString();
        if (name.isEmpty() || names.contains(name))
            fail(QStringLiteral("sheet name missing or repeated: \"%1\"").arg(name));
        names << name;
        QMap<int, double>& sheetWidths = widths.emplaceBack();
        const QJsonObject columns = sheet.toObject().value(QStringLiteral("widths")).toObject();
        for (auto it = columns.begin(); it != columns.end(); ++it) {
            const std::optional<int> column = columnIndex(it.key());
            if (!column || !it.value().isDouble())
                fail(QStringLiteral("sheet \"%1\": bad width \"%2\"").arg(name, it.key()));
            sheetWidths.insert(*column, it.value().toDouble());
        }
    }
    try {
        xls::XlsWorkbook book = xls::XlsWorkbook::create(names, widths);
        for (int s = 0; s < sheets.size(); ++s) {
            const QJsonObject cells =
                sheets[s].toObject().value(QStringLiteral("cells")).toObject();
            for (auto it = cells.begin(); it != cells.end(); ++it) {
                const std::optional<CellRef> ref = parseA1(it.key());
                if (!ref || !it.value().isString())
                    fail(QStringLiteral("sheet \"%1\": bad cell \"%2\"").arg(names[s], it.key()));
                book.setText(s, *ref, it.value().toString());
            }
        }
        writeFileAtomically(args[2], book.toBytes());
    } catch (const HostError& e) {
        fail(e.message());
    } catch (const xls::XlsError& e) {
        fail(e.message());
    }
    return 0;
}
