#include "workbook/xls/xlsworkbook.h"

#include "workbook/xls/printnames.h"
#include "workbook/xls/sheetdisplay.h"
#include "workbook/xls/sheetlayout.h"
#include "workbook/xls/styles.h"
#include "workbook/xls/workbookimpl.h"
#include "workbook/xls/xlstring.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace velmora::xls {

XlsWorkbook::XlsWorkbook(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
XlsWorkbook::XlsWorkbook(XlsWorkbook&&) noexcept = default;
XlsWorkbook& XlsWorkbook::operator=(XlsWorkbook&&) noexcept = default;
XlsWorkbook::~XlsWorkbook() = default;

XlsWorkbook XlsWorkbook::load(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw XlsError(QStringLiteral("找不到文件“%1”。").arg(QFileInfo(path).fileName()));
    if (!file.open(QIODevice::ReadOnly))
        throw XlsError(QStringLiteral("无法打开文件“%1”：%2")
                           .arg(QFileInfo(path).fileName(), file.errorString()));
    if (file.size() > kMaxFileSize)
        throw XlsError(QStringLiteral("文件“%1”太大，不是 Excel 97-2003 工作簿。")
                           .arg(QFileInfo(path).fileName()));
    return fromBytes(file.readAll());
}

XlsWorkbook XlsWorkbook::fromBytes(const QByteArray& file) {
    // The workbook refers into the bytes it was read from: they must be its
    // own, not borrowed raw data (or shared with a caller who may change them).
    const QByteArray owned = file.isDetached() ? file : QByteArray(file.constData(), file.size());
    auto impl = std::make_unique<Impl>(readWorkbook(readContainer(owned)));
    impl->file = owned;
    return XlsWorkbook(std::move(impl));
}

XlsWorkbook XlsWorkbook::create(const QStringList& sheetNames,
                                const QList<QMap<int, double>>& columnWidths) {
    std::vector<SheetLayout> sheets;
    for (qsizetype i = 0; i < sheetNames.size(); ++i) {
        SheetLayout& s = sheets.emplace_back();
        s.name = sheetNames[i];
        const QMap<int, double> widths = columnWidths.value(i);
        for (auto it = widths.begin(); it != widths.end(); ++it)
            s.columnWidths[it.key()] = it.value();
    }
    return create(sheets);
}

XlsWorkbook XlsWorkbook::create(const std::vector<SheetLayout>& sheets) {
    Container container;
    ContainerEntry stream;
    stream.name = QStringLiteral("Workbook");
    stream.data = newWorkbookStream(sheets);
    container.entries.push_back(std::move(stream));
    return XlsWorkbook(std::make_unique<Impl>(readWorkbook(std::move(container))));
}

QStringList XlsWorkbook::sheetNames() const {
    QStringList names;
    for (size_t i : d->worksheets) names << d->sheets[i].name;
    return names;
}

int XlsWorkbook::sheetIndex(const QString& name) const {
    for (size_t i = 0; i < d->worksheets.size(); ++i)
        if (d->sheets[d->worksheets[i]].name == name)
            return int(i);
    return -1;
}

CellValue XlsWorkbook::cell(int sheet, CellRef ref) const {
    const quint32 key = Impl::key(ref);
    d->settle();
    return d->value(sheet, key);
}

void XlsWorkbook::forEachCell(int sheet,
                              const std::function<void(CellRef, const CellValue&)>& f) const {
    const Sheet& s = d->sheet(sheet);
    d->settle();
    auto edit = s.edits.begin();
    const auto visit = [&](quint32 key, const CellValue& v) {
        if (!v.isEmpty())
            f(keyRef(key), v);
    };
    const ReadContext ctx = d->context();
    // Texts of the shared string table are read into the same room cell
    // after cell (a text f keeps gets a room of its own on the next read).
    QString room;
    s.forEachSlot(d->stream, [&](const CellSlot& slot) {
        const quint32 key = slot.key;
        for (; edit != s.edits.end() && edit->first < key; ++edit)
            visit(edit->first, d->value(sheet, edit->first));
        if (edit != s.edits.end() && edit->first == key) {
            visit(key, d->value(sheet, key));
            ++edit;
        } else if (d->calc) {
            visit(key, d->value(sheet, key));
        } else if (readSharedText(ctx, s, slot, room)) {
            CellValue v;
            v.kind = CellValue::Kind::Text;
            v.text = std::move(room);
            visit(key, v);
            room = std::move(v.text);
        } else {
            visit(key, cellValue(ctx, s, slot));
        }
    });
    for (; edit != s.edits.end(); ++edit) visit(edit->first, d->value(sheet, edit->first));
}

void XlsWorkbook::setText(int sheet, CellRef ref, const QString& text) {
    const QString stored = normalizeLineBreaks(text);
    if (stored.size() > kMaxCellText)
        throw XlsError(QStringLiteral("一个单元格最多能存放 %1 个字符，这段文字有 %2 个字符。")
                           .arg(kMaxCellText)
                           .arg(stored.size()));
    if (stored.isEmpty())
        return clear(sheet, ref);
    d->edit(sheet, ref, Edit{Edit::Kind::Text, stored, 0, {}});
}

void XlsWorkbook::setNumber(int sheet, CellRef ref, double value) {
    if (!std::isfinite(value))
        throw XlsError(QStringLiteral("这不是一个有效的数字。"));
    d->edit(sheet, ref, Edit{Edit::Kind::Number, QString(), value, {}});
}

void XlsWorkbook::clear(int sheet, CellRef ref) {
    d->edit(sheet, ref, Edit{Edit::Kind::Clear, QString(), 0, {}});
}

bool XlsWorkbook::isModified() const {
    return d->hasEdits();
}

QByteArray XlsWorkbook::toBytes() const {
    // An unchanged workbook is the file it was loaded from, to the byte.
    if (!d->hasEdits() && !d->file.isEmpty())
        return d->file;
    d->settle();
    const FormulaResults results = d->resultsToWrite();
    Container container = d->container;
    container.entries[d->streamEntry].data = writeWorkbookStream(*d, false, &results);
    return writeContainer(container);
}

}  // namespace velmora::xls

namespace velmora::xls {

CellRef XlsWorkbook::lastCell(int sheet) const {
    return xls::lastCell(d->sheet(sheet), d->stream);
}

int XlsWorkbook::columnWidthPx(int sheet, int column) const {
    return xls::columnWidthPx(d->sheet(sheet), column, d->digitWidthPx);
}

int XlsWorkbook::rowHeightPx(int sheet, int row) const {
    return xls::rowHeightPx(d->sheet(sheet), row);
}

QStringList XlsWorkbook::recordDump() const {
    return xls::recordDump(*d);
}

namespace {
// Excel's limits: 255 characters wide, 409 points high.
constexpr int kMaxColumnUnits = 255 * 256;
constexpr int kMaxRowTwips = 8180;
}  // namespace

const WorkbookStyles& XlsWorkbook::styles() const {
    if (!d->styles)
        d->styles = readStyles(d->stream, d->globals);
    return *d->styles;
}

int XlsWorkbook::cellStyle(int sheet, CellRef ref) const {
    return d->xfAt(d->sheet(sheet), Impl::key(ref));
}

SheetDisplay XlsWorkbook::display(int sheet) const {
    return readSheetDisplay(d->sheet(sheet), d->stream);
}

PageSetup XlsWorkbook::pageSetup(int sheet) const {
    PageSetup setup = readPageSetup(d->sheet(sheet), d->stream);
    readPrintNames(setup, int(d->worksheets[size_t(sheet)]), d->links);
    return setup;
}

void XlsWorkbook::setColumnWidthPx(int sheet, int column, int px) {
    Impl::key({0, column});  // throws for a column outside the sheet
    Sheet& s = d->sheet(sheet);
    ColumnSize size;
    if (px > 0) {
        size.width = std::min(int(std::lround(px * 256.0 / d->digitWidthPx)), kMaxColumnUnits);
    } else {
        // Hidden, keeping its width for when it is shown again.
        const int shown = columnWidthPx(sheet, column);
        size.width = shown > 0 ? int(std::lround(shown * 256.0 / d->digitWidthPx)) : 8 * 256;
        size.hidden = true;
    }
    s.sizes.columns[column] = size;
}

void XlsWorkbook::setRowHeightPx(int sheet, int row, int px) {
    Impl::key({row, 0});
    d->sheet(sheet).sizes.rowTwips[row] = std::clamp(px, 0, kMaxRowTwips / 15) * 15;
}

CellState XlsWorkbook::cellState(int sheet, CellRef ref) const {
    const Sheet& s = d->sheet(sheet);
    const auto edit = s.edits.find(Impl::key(ref));
    if (edit == s.edits.end())
        return {};
    switch (edit->second.kind) {
        case Edit::Kind::Text:
            return {CellState::Kind::Text, edit->second.text, 0};
        case Edit::Kind::Number:
            return {CellState::Kind::Number, QString(), edit->second.number};
        case Edit::Kind::Clear:
            return {CellState::Kind::Cleared, QString(), 0};
        case Edit::Kind::Formula:
            return {CellState::Kind::Formula, edit->second.text, 0};
    }
    return {};
}

void XlsWorkbook::restoreCellState(int sheet, CellRef ref, const CellState& state) {
    switch (state.kind) {
        case CellState::Kind::AsLoaded:
            d->sheet(sheet).edits.erase(Impl::key(ref));
            d->reloadCell(sheet, ref);
            break;
        case CellState::Kind::Formula:
            d->setFormula(sheet, ref, state.text, 1);
            break;
        case CellState::Kind::Text:
            setText(sheet, ref, state.text);
            break;
        case CellState::Kind::Number:
            setNumber(sheet, ref, state.number);
            break;
        case CellState::Kind::Cleared:
            clear(sheet, ref);
            break;
    }
}

bool XlsWorkbook::hasFormula(int sheet, CellRef ref) const {
    const Sheet& s = d->sheet(sheet);
    const quint32 k = Impl::key(ref);
    if (const auto edit = s.edits.find(k); edit != s.edits.end())
        return edit->second.kind == Edit::Kind::Formula;
    const auto slot = s.slot(d->stream, k);
    return slot && s.records[slot->record].type == rt::kFormula;
}

}  // namespace velmora::xls
