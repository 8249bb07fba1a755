#include "workbook/libreoffice/calccell.h"

#include "workbook/dateformat.h"
#include "workbook/libreoffice/unostring.h"

#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/Date.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include <QDate>

namespace velmora::office {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

std::optional<quint8> excelErrorCode(sal_Int32 calcError) {
    switch (calcError) {
        case 521:
            return 0x00;  // #NULL!
        case 532:
            return 0x07;  // #DIV/0!
        case 519:
            return 0x0F;  // #VALUE!
        case 524:
            return 0x17;  // #REF!
        case 525:
            return 0x1D;  // #NAME?
        case 503:
            return 0x24;  // #NUM!
        case 0x7FFF:
            return 0x2A;  // #N/A
        default:
            return std::nullopt;
    }
}

CellReader::CellReader(const Reference<css::uno::XInterface>& document)
    : formats_(Reference<css::util::XNumberFormatsSupplier>(document, UNO_QUERY_THROW)
                   ->getNumberFormats()),
      documentProperties_(document, UNO_QUERY_THROW) {}

CellValue CellReader::read(const Reference<css::table::XCell>& cell) {
    switch (cell->getType()) {
        case css::table::CellContentType_EMPTY:
            return CellValue();
        case css::table::CellContentType_VALUE:
            return number(cell, cell->getValue());
        case css::table::CellContentType_TEXT: {
            // A text cell's input form is its text, with an apostrophe put
            // in front where the text would read as something else ("'12",
            // "''abc" for "'abc"): one call less than asking for its text.
            QString input = toQString(cell->getFormula());
            if (input.startsWith(u'\''))
                input.remove(0, 1);
            return lines(input);
        }
        default:
            break;
    }
    // A formula: its current result. Excel's boolean constants arrive as the
    // formulas =TRUE() and =FALSE(), its error constants as error results.
    sal_Int32 result = 0;
    Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString("FormulaResultType2")) >>= result;
    if (result == css::sheet::FormulaResult::ERROR) {
        if (const std::optional<quint8> code = excelErrorCode(cell->getError()))
            return CellValue::makeError(*code);
    } else if (result == css::sheet::FormulaResult::VALUE) {
        const QString formula = toQString(cell->getFormula());
        if (formula == QLatin1String("=TRUE()") || formula == QLatin1String("=FALSE()"))
            return CellValue::makeBoolean(formula == QLatin1String("=TRUE()"));
        return number(cell, cell->getValue());
    }
    return lines(toQString(Reference<css::text::XText>(cell, UNO_QUERY_THROW)->getString()));
}

// Line breaks are LF inside the program, whatever a cell holds.
CellValue CellReader::lines(QString text) {
    return CellValue::makeText(
        text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n'));
}

CellValue CellReader::number(const Reference<css::table::XCell>& cell, double value) {
    sal_Int32 key = 0;
    Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString("NumberFormat")) >>= key;
    switch (shownAs(key)) {
        case Shown::Boolean:
            return CellValue::makeBoolean(value != 0);
        case Shown::Date:
            return CellValue::makeNumber(toSerial1900(value), true);
        case Shown::Number:
            break;
    }
    return CellValue::makeNumber(value);
}

// A date is what both Calc and the program's one rule for format codes call
// one: Calc also counts elapsed-time formats ("[HH]") as times, the rule
// (like Excel's readers) as numbers.
CellReader::Shown CellReader::shownAs(sal_Int32 key) {
    const auto known = shown_.constFind(key);
    if (known != shown_.constEnd())
        return *known;
    const Reference<css::beans::XPropertySet> format = formats_->getByKey(key);
    sal_Int16 type = 0;
    format->getPropertyValue(rtl::OUString("Type")) >>= type;
    rtl::OUString code;
    format->getPropertyValue(rtl::OUString("FormatString")) >>= code;
    Shown shown = Shown::Number;
    if (type & css::util::NumberFormat::LOGICAL)
        shown = Shown::Boolean;
    else if ((type & (css::util::NumberFormat::DATE | css::util::NumberFormat::TIME)) &&
             isDateFormatCode(toQString(code)))
        shown = Shown::Date;
    shown_.insert(key, shown);
    return shown;
}

// Calc counts dates from the document's null date (1904-01-01 for a file in
// the 1904 date system); the cell-text rules count from 1899-12-30.
double CellReader::toSerial1900(double value) {
    css::util::Date nullDate;
    documentProperties_->getPropertyValue(rtl::OUString("NullDate")) >>= nullDate;
    const QDate origin(nullDate.Year, nullDate.Month, nullDate.Day);
    return origin.isValid() ? value + QDate(1899, 12, 30).daysTo(origin) : value;
}

}  // namespace velmora::office
