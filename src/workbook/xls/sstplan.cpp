#include "workbook/xls/sstplan.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/workbookdata.h"

namespace velmora::xls {

namespace {

// How many LABELSST records of the workbook refer to each string, leaving
// out the cells that edits overwrite.
std::vector<quint32> referenceCounts(const WorkbookData& wb) {
    std::vector<quint32> refs(wb.strings.size(), 0);
    for (const Sheet& sheet : wb.sheets) {
        for (const Record& r : sheet.records) {
            if (r.type != rt::kLabelSst || r.size < 10)
                continue;
            const quint32 isst = u32(r.body(wb.stream) + 6);
            if (isst < refs.size())
                ++refs[isst];
        }
        for (const auto& [key, edit] : sheet.edits) {
            const auto slot = sheet.slot(wb.stream, key);
            if (!slot || sheet.records[slot->record].type != rt::kLabelSst)
                continue;
            const quint32 isst = u32(sheet.records[slot->record].body(wb.stream) + 6);
            --refs[isst];
        }
    }
    return refs;
}

const QHash<QStringView, quint32>& plainStrings(const WorkbookData& wb) {
    if (!wb.plainStrings) {
        QHash<QStringView, quint32> index;
        index.reserve(qsizetype(wb.strings.size()));
        for (size_t i = 0; i < wb.strings.size(); ++i)
            if (!wb.strings.hasExtra(i) && !index.contains(wb.strings.text(i)))
                index.insert(wb.strings.text(i), quint32(i));
        wb.plainStrings = std::move(index);
    }
    return *wb.plainStrings;
}

}  // namespace

SstPlan planStrings(const WorkbookData& wb) {
    SstPlan plan;
    plan.stringOf.resize(wb.sheets.size());
    std::vector<quint32> refs = referenceCounts(wb);
    const QHash<QStringView, quint32>& known = plainStrings(wb);

    // First every text already in the table, so that no string a new cell
    // refers to is given away below.
    std::vector<std::pair<size_t, quint32>> pending;
    for (size_t s = 0; s < wb.sheets.size(); ++s) {
        for (const auto& [key, edit] : wb.sheets[s].edits) {
            if (edit.kind != Edit::Kind::Text)
                continue;
            const auto it = known.constFind(QStringView(edit.text));
            if (it != known.constEnd()) {
                plan.stringOf[s][key] = *it;
                ++refs[*it];
            } else {
                pending.emplace_back(s, key);
            }
        }
    }

    QHash<QString, quint32> fresh;
    size_t freeSlot = 0;
    for (const auto& [s, key] : pending) {
        const QString& text = wb.sheets[s].edits.at(key).text;
        quint32 isst;
        if (const auto it = fresh.constFind(text); it != fresh.constEnd()) {
            isst = *it;
        } else {
            while (freeSlot < refs.size() && refs[freeSlot] != 0) ++freeSlot;
            if (freeSlot < refs.size()) {
                isst = quint32(freeSlot);
                plan.replaced[freeSlot] = text;
                ++freeSlot;
            } else {
                isst = quint32(refs.size() + plan.added.size());
                plan.added.push_back(text);
            }
            fresh.insert(text, isst);
        }
        plan.stringOf[s][key] = isst;
        if (isst < refs.size())
            ++refs[isst];
        else
            ++plan.total;
    }
    for (quint32 n : refs) plan.total += n;
    return plan;
}

}  // namespace velmora::xls
