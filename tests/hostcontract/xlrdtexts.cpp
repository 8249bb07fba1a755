#include "xlrdtexts.h"

#include "xlrdreading.h"
#include "workbook/cellvalue.h"

#include <QJsonArray>
#include <QJsonObject>

namespace velmora::test {

namespace {

// xlrd's dates count in the file's own date system; the 1904 system starts
// 1462 days later than the rules count.
QString ruleText(const QString& kind, const QJsonValue& value, bool date1904) {
    if (kind == QLatin1String("text")) {
        QString text = value.toString();
        return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    }
    if (kind == QLatin1String("number"))
        return CellValue::makeNumber(value.toDouble()).toText();
    if (kind == QLatin1String("date"))
        return CellValue::makeNumber(value.toDouble() + (date1904 ? 1462 : 0), true).toText();
    if (kind == QLatin1String("boolean"))
        return CellValue::makeBoolean(value.toInt() != 0).toText();
    return CellValue::makeError(quint8(value.toInt())).toText();
}

}  // namespace

std::optional<XlrdReading> xlrdReading(const QString& path) {
    const std::optional<QJsonObject> read = readWithXlrd(path);
    if (!read)
        return std::nullopt;
    const QJsonObject& json = *read;
    XlrdReading reading;
    const bool date1904 = json.value(QStringLiteral("datemode")).toInt() == 1;
    for (const QJsonValue& name : json.value(QStringLiteral("sheets")).toArray())
        reading.sheets << name.toString();
    reading.active = json.value(QStringLiteral("active")).toInt();
    const QJsonObject sheets = json.value(QStringLiteral("cells")).toObject();
    for (auto sheet = sheets.begin(); sheet != sheets.end(); ++sheet) {
        const QJsonObject cells = sheet->toObject();
        for (auto cell = cells.begin(); cell != cells.end(); ++cell) {
            const QJsonArray kv = cell->toArray();
            const QString kind = kv.at(0).toString();
            reading.kinds[sheet.key()][cell.key()] = kind;
            reading.texts[sheet.key()][cell.key()] = ruleText(kind, kv.at(1), date1904);
        }
    }
    return reading;
}

}  // namespace velmora::test
