#include "workbook/xls/bytes.h"
#include "workbook/xls/linkrecords.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlstring.h"
#include "workbook/xls/xlsworkbook.h"

#include <algorithm>

namespace velmora::xls {

namespace {

[[noreturn]] void notBiff8() {
    throw XlsError(
        QStringLiteral("这个文件不是 Excel 97-2003 工作簿（可能是更早的 Excel 5.0/95 格式）。"
                       "请在电子表格程序中把它另存为“Excel 97-2003 工作簿(*.xls)”。"));
}

[[noreturn]] void damagedLayout() {
    throw XlsError(QStringLiteral("工作簿的结构已损坏（工作表的位置互相重叠）。"));
}

size_t findStream(const Container& container) {
    // Excel names the stream "Workbook"; some writers use other cases.
    for (size_t i = 0; i < container.entries.size(); ++i) {
        const ContainerEntry& e = container.entries[i];
        if (e.parent == -1 && !e.isStorage &&
            e.name.compare(QLatin1String("Workbook"), Qt::CaseInsensitive) == 0)
            return i;
    }
    for (const ContainerEntry& e : container.entries)
        if (e.parent == -1 && e.name.compare(QLatin1String("Book"), Qt::CaseInsensitive) == 0)
            notBiff8();
    throw XlsError(QStringLiteral("文件中找不到 Excel 工作簿，文件可能已损坏。"));
}

void readGlobals(WorkbookData& wb) {
    wb.globals = readSubstream(wb.stream, 0);
    const Record& bof = wb.globals.front();
    if (bof.size < 4 || u16(bof.body(wb.stream)) != 0x0600 || u16(bof.body(wb.stream) + 2) != 5)
        notBiff8();
    bool fontSeen = false;
    for (size_t i = 0; i < wb.globals.size(); ++i) {
        const Record& r = wb.globals[i];
        const char* b = r.body(wb.stream);
        if (r.type == rt::kFilePass) {
            throw XlsError(
                QStringLiteral("这个工作簿设置了打开密码，请先在电子表格程序中取消密码。"));
        } else if (r.type == rt::kSst) {
            wb.strings = readSst(wb.stream, wb.globals, i);
        } else if (r.type == rt::kFont && r.size >= 2 && !fontSeen) {
            // Digits are about half as wide as the default font is high.
            fontSeen = true;
            wb.digitWidthPx = std::max(5, int(u16(b) / 20.0 * 4 / 3 / 2 + 0.5));
        } else if (r.type == rt::kBoundSheet) {
            if (r.size < 8)
                throw XlsError(QStringLiteral("工作簿的工作表目录已损坏。"));
            RecordReader in(wb.stream, wb.globals, i, false);
            Sheet sheet;
            sheet.offset = in.u32();
            in.u8();  // visibility
            sheet.kind = in.u8();
            sheet.name = readUnicodeString(in, 1);
            sheet.boundSheet = i;
            wb.sheets.push_back(std::move(sheet));
        }
    }
    wb.formats = readFormats(wb.stream, wb.globals);
}

void readSheets(WorkbookData& wb) {
    std::vector<std::pair<qint64, qint64>> spans{{0, wb.globals.back().end()}};
    for (size_t i = 0; i < wb.sheets.size(); ++i) {
        Sheet& sheet = wb.sheets[i];
        sheet.records = readSubstream(wb.stream, sheet.offset);
        spans.emplace_back(sheet.offset, sheet.records.back().end());
        if (sheet.kind == 0) {
            indexCells(sheet, wb.stream, wb.strings.size());
            wb.worksheets.push_back(i);
        }
    }
    // Substreams never overlap: the writer moves each one as a whole.
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second)
            damagedLayout();
}

}  // namespace

bool WorkbookData::hasEdits() const {
    return std::any_of(sheets.begin(), sheets.end(),
                       [](const Sheet& s) { return !s.edits.empty() || !s.sizes.empty(); });
}

bool WorkbookData::hasFormulas() const {
    return std::any_of(sheets.begin(), sheets.end(), [](const Sheet& s) { return s.hasFormulas; });
}

WorkbookData readWorkbook(Container container) {
    WorkbookData wb;
    wb.streamEntry = findStream(container);
    wb.stream = container.entries[wb.streamEntry].data;
    if (wb.stream.size() > qint64(0xFFFFFFFF))
        throw XlsError(QStringLiteral("工作簿太大，不是 Excel 97-2003 工作簿。"));
    wb.container = std::move(container);
    readGlobals(wb);
    readSheets(wb);
    QStringList names;
    for (const Sheet& s : wb.sheets) names << s.name;
    wb.links = readLinks(wb.stream, wb.globals, names);
    wb.loadedSupBooks = wb.links.supbooks.size();
    wb.loadedExternSheets = wb.links.externSheets.size();
    wb.loadedNames = wb.links.names.size();
    return wb;
}

}  // namespace velmora::xls
