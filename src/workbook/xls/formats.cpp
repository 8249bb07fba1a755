#include "workbook/xls/formats.h"

#include "workbook/dateformat.h"
#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"
#include "workbook/xls/xlstring.h"
#include "workbook/xls/xlsworkbook.h"

#include <QHash>

namespace velmora::xls {

namespace {

// Built-in formats that show dates or times: the international ones
// (14-22, 45-47) and those of the East Asian versions (27-36, 50-58).
bool isBuiltInDate(int ifmt) {
    return (ifmt >= 14 && ifmt <= 22) || (ifmt >= 27 && ifmt <= 36) || (ifmt >= 45 && ifmt <= 47) ||
           (ifmt >= 50 && ifmt <= 58);
}

}  // namespace

int CellFormats::defaultCellXf() const {
    // Excel's files keep the default cell format at XF 15, after the
    // fifteen style XFs; other writers are followed to their first cell XF.
    if (xfIsStyle.size() > 15 && !xfIsStyle[15])
        return 15;
    for (size_t i = 0; i < xfIsStyle.size(); ++i)
        if (!xfIsStyle[i])
            return int(i);
    return 15;
}

CellFormats readFormats(const QByteArray& stream, const std::vector<Record>& globals) {
    CellFormats formats;
    QHash<int, bool> customIsDate;
    std::vector<int> xfFormat;
    for (size_t i = 0; i < globals.size(); ++i) {
        const Record& r = globals[i];
        const char* b = r.body(stream);
        if (r.type == rt::kDateMode && r.size >= 2) {
            formats.date1904 = u16(b) == 1;
        } else if (r.type == rt::kFormat && r.size >= 5) {
            RecordReader in(stream, globals, i);
            const int ifmt = in.u16();
            customIsDate[ifmt] = isDateFormatCode(readUnicodeString(in, 2));
        } else if (r.type == rt::kXf && r.size >= 6) {
            xfFormat.push_back(u16(b + 2));
            formats.xfIsStyle.push_back(u16(b + 4) & 0x0004);
        }
    }
    formats.xfIsDate.reserve(xfFormat.size());
    for (int ifmt : xfFormat)
        formats.xfIsDate.push_back(customIsDate.contains(ifmt) ? customIsDate.value(ifmt)
                                                               : isBuiltInDate(ifmt));
    return formats;
}

}  // namespace velmora::xls
