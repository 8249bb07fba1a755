#include "workbook/xls/bytes.h"
#include "workbook/xls/linkrecords.h"
#include "workbook/xls/sheetwriter.h"
#include "workbook/xls/sstplan.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlsworkbook.h"

#include <algorithm>

namespace velmora::xls {

namespace {

void copyRecord(QByteArray& out, const QByteArray& stream, const Record& r) {
    out.append(stream.constData() + r.pos, 4 + r.size);
}

struct Globals {
    QByteArray bytes;
    std::vector<std::pair<size_t, qint64>> boundSheetAt;  // globals record -> its lbPlyPos field
};

// Where the records of links typed formulas added go: EXTERNSHEET (new,
// or rewritten in place) after the SUPBOOK records, NAME records after the
// last NAME.
struct LinkPlan {
    QByteArray supBook;      // before the EXTERNSHEET
    QByteArray externSheet;  // replaces the one at externSheetAt, or goes after insertAfter
    QByteArray names;        // after lastName, or after the EXTERNSHEET
    qint64 externSheetAt = -1, insertAfter = -1, lastName = -1;
};

LinkPlan planLinks(const WorkbookData& wb) {
    LinkPlan plan;
    const formula::Links& links = wb.links;
    const bool newSheets = links.externSheets.size() > wb.loadedExternSheets;
    const bool newNames = links.names.size() > wb.loadedNames;
    if (!newSheets && !newNames)
        return plan;
    for (size_t i = 0; i < wb.globals.size(); ++i) {
        const quint16 t = wb.globals[i].type;
        if (t == rt::kExternSheet && plan.externSheetAt < 0)
            plan.externSheetAt = qint64(i);
        if (t == rt::kName)
            plan.lastName = qint64(i);
        if (t == rt::kBoundSheet || t == rt::kCountry || t == rt::kSupBook ||
            t == rt::kExternName || t == 0x0059 || t == 0x005A)  // XCT, CRN
            plan.insertAfter = qint64(i);
    }
    // Names need the EXTERNSHEET before them, if only an empty one.
    if (newSheets || plan.externSheetAt < 0)
        plan.externSheet = externSheetRecord(links.externSheets);
    if (links.supbooks.size() > wb.loadedSupBooks || links.selfSupbook() < 0)
        plan.supBook = ownSupBookRecord(int(links.sheets.size()));
    for (size_t i = wb.loadedNames; i < links.names.size(); ++i)
        plan.names += functionNameRecord(links.names[i]);
    return plan;
}

// The globals substream: every record as it was, except the shared string
// table when strings changed, the positions EXTSST holds, RECALCID, and the
// link records typed formulas added.
Globals writeGlobals(const WorkbookData& wb, const SstPlan& plan, bool rebuildStrings) {
    Globals g;
    QByteArray& o = g.bytes;
    const size_t baseCount = wb.strings.size();
    const size_t count = baseCount + plan.added.size();
    const bool newStrings = plan.changed() || rebuildStrings;
    const SstSource source = [&](size_t i) {
        if (i >= baseCount)
            return SstView{plan.added[i - baseCount]};
        const auto it = plan.replaced.find(i);
        return it != plan.replaced.end() ? SstView{it->second} : wb.strings.stored(i);
    };
    const bool recalculate = wb.hasEdits() && wb.hasFormulas();
    bool sstWritten = false;
    qint64 sstMoved = 0;
    const auto& records = wb.globals;
    const LinkPlan links = planLinks(wb);
    for (size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        if (qint64(i) == links.externSheetAt) {
            o.append(links.supBook);
            const size_t end = pastContinues(records, i);
            if (links.externSheet.isEmpty())
                for (size_t j = i; j < end; ++j) copyRecord(o, wb.stream, records[j]);
            else
                o.append(links.externSheet);
            if (links.lastName < 0)
                o.append(links.names);
            i = end - 1;
            continue;
        }
        if (qint64(i) == links.lastName) {
            const size_t end = pastContinues(records, i);
            for (size_t j = i; j < end; ++j) copyRecord(o, wb.stream, records[j]);
            o.append(links.names);
            i = end - 1;
            continue;
        }
        if (r.type == rt::kSst) {
            sstWritten = true;
            sstMoved = o.size() - r.pos;
            if (newStrings) {
                o.append(writeSst(plan.total, count, source, o.size()));
                i = pastContinues(records, i) - 1;
                continue;
            }
        } else if (r.type == rt::kExtSst) {
            if (newStrings)
                continue;
            // Each bucket names a stream position: it moves with the table.
            const qint64 at = o.size();
            copyRecord(o, wb.stream, r);
            for (int f = 2; f + 4 <= r.size; f += 8)
                put32(o.data() + at + 4 + f, quint32(u32(r.body(wb.stream) + f) + sstMoved));
            continue;
        } else if (r.type == rt::kRecalcId && recalculate && r.size >= 8) {
            // Engine id 0: the file's cached formula results need recalculating.
            const qint64 at = o.size();
            copyRecord(o, wb.stream, r);
            put32(o.data() + at + 8, 0);
            continue;
        } else if (r.type == rt::kBoundSheet) {
            g.boundSheetAt.emplace_back(i, o.size() + 4);
        } else if (r.type == rt::kEof && i + 1 == records.size() && !sstWritten && count > 0) {
            o.append(writeSst(plan.total, count, source, o.size()));
        }
        copyRecord(o, wb.stream, r);
        if (qint64(i) == links.insertAfter && links.externSheetAt < 0) {
            o.append(links.supBook);
            o.append(links.externSheet);
            if (links.lastName < 0)
                o.append(links.names);
        }
    }
    return g;
}

}  // namespace

QByteArray writeWorkbookStream(const WorkbookData& wb, bool rebuildStrings,
                               const FormulaResults* results) {
    const SstPlan plan = planStrings(wb);
    std::vector<SheetBytes> sheets;
    sheets.reserve(wb.sheets.size());
    for (size_t s = 0; s < wb.sheets.size(); ++s) {
        const Sheet& sheet = wb.sheets[s];
        const auto* sheetResults = results && s < results->size() ? &(*results)[s] : nullptr;
        const bool unchanged = sheet.edits.empty() && sheet.sizes.empty() &&
                               (!sheetResults || sheetResults->empty());
        sheets.push_back(unchanged ? copySheet(sheet, wb.stream)
                                   : writeSheet(sheet, {wb.stream, wb.formats, plan.stringOf[s],
                                                        sheetResults}));
    }
    Globals globals = writeGlobals(wb, plan, rebuildStrings);

    // Everything after the globals in its original order: the sheets and
    // any bytes between or after them.
    std::vector<size_t> order(wb.sheets.size());
    for (size_t s = 0; s < order.size(); ++s) order[s] = s;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return wb.sheets[a].offset < wb.sheets[b].offset; });
    qint64 size = wb.stream.size() - wb.globals.back().end() + globals.bytes.size();
    for (size_t s = 0; s < wb.sheets.size(); ++s)
        size += sheets[s].bytes.size() - (wb.sheets[s].records.back().end() - wb.sheets[s].offset);
    QByteArray out;
    out.reserve(size);
    out.append(globals.bytes);
    std::vector<qint64> newOffset(wb.sheets.size());
    qint64 copiedTo = wb.globals.back().end();
    for (size_t s : order) {
        const Sheet& sheet = wb.sheets[s];
        out.append(wb.stream.constData() + copiedTo, sheet.offset - copiedTo);
        newOffset[s] = out.size();
        const qint64 at = out.size();
        out.append(sheets[s].bytes);
        for (const auto& [field, position] : sheets[s].positions)
            put32(out.data() + at + field, quint32(at + position));
        copiedTo = sheet.records.back().end();
    }
    out.append(wb.stream.constData() + copiedTo, wb.stream.size() - copiedTo);

    for (const auto& [record, field] : globals.boundSheetAt) {
        for (size_t s = 0; s < wb.sheets.size(); ++s)
            if (wb.sheets[s].boundSheet == record)
                put32(out.data() + field, quint32(newOffset[s]));
    }
    if (out.size() > qint64(0xFFFFFFFF))
        throw XlsError(QStringLiteral("工作簿太大，无法保存为 Excel 97-2003 格式。"));
    return out;
}

}  // namespace velmora::xls
