#pragma once

#include "workbook/cellvalue.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>

#include <QHash>
#include <optional>

namespace velmora::office {

namespace css = com::sun::star;

// Reads a Calc cell as the value the program's cell-text rules turn into
// text: numbers as our own decimal text (Calc's display text carries the
// cell's format, "6,359"), dates by the cell's number format, the booleans
// and error constants an .xls file holds as such.
class CellReader {
public:
    explicit CellReader(const css::uno::Reference<css::uno::XInterface>& document);

    CellValue read(const css::uno::Reference<css::table::XCell>& cell);

private:
    enum class Shown { Number, Date, Boolean };

    static CellValue lines(QString text);
    CellValue number(const css::uno::Reference<css::table::XCell>& cell, double value);
    Shown shownAs(sal_Int32 formatKey);
    double toSerial1900(double value);

    css::uno::Reference<css::util::XNumberFormats> formats_;
    css::uno::Reference<css::beans::XPropertySet> documentProperties_;
    // What a format key shows a number as; a key's format never changes.
    QHash<sal_Int32, Shown> shown_;
};

// The Excel error code (as in an .xls file) of a Calc formula error; nullopt
// for errors Excel has no code for.
std::optional<quint8> excelErrorCode(sal_Int32 calcError);

}  // namespace velmora::office
