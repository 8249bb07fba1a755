#include "workbook/xls/pagesetup.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"
#include "workbook/xls/sheet.h"
#include "workbook/xls/xlstring.h"
#include "workbook/xls/xlserror.h"

#include <algorithm>

namespace velmora::xls {

namespace {

constexpr quint16 kHeader = 0x0014, kFooter = 0x0015, kVerticalBreaks = 0x001A,
                  kHorizontalBreaks = 0x001B, kLeftMargin = 0x0026, kRightMargin = 0x0027,
                  kTopMargin = 0x0028, kBottomMargin = 0x0029, kPrintHeaders = 0x002A,
                  kPrintGridlines = 0x002B, kWsBool = 0x0081, kGridSet = 0x0082, kHCenter = 0x0083,
                  kVCenter = 0x0084, kSetup = 0x00A1;

// WSBOOL: automatic page breaks shown, outline symbols below and right,
// outline symbols shown; bit 8 fits the sheet to pages.
constexpr quint16 kWsBoolPlain = 0x04C1, kFitToPages = 0x0100;
// SETUP options: portrait, and "no printer settings" (the paper, scale and
// orientation fields mean nothing then).
constexpr quint16 kPortrait = 0x0002, kNoSettings = 0x0004;

// Excel's range of scales and of fitted pages.
int checkedScale(int scale) {
    return scale >= 10 && scale <= 400 ? scale : 100;
}

std::vector<int> readBreaks(const char* b, int size) {
    std::vector<int> breaks;
    const int count = std::min<int>(u16(b), (size - 2) / 6);
    for (int i = 0; i < count; ++i) breaks.push_back(u16(b + 2 + 6 * i));
    std::sort(breaks.begin(), breaks.end());
    breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
    return breaks;
}

QString readText(const Sheet& sheet, const QByteArray& stream, size_t record) {
    if (sheet.records[record].size < 3)
        return {};  // an empty record: no header
    try {
        RecordReader in(stream, sheet.records, record, false);
        return readUnicodeString(in, 2);
    } catch (const XlsError&) {
        return {};  // a damaged header only loses its text
    }
}

QByteArray number16(int v) {
    QByteArray b;
    add16(b, quint16(v));
    return b;
}

QByteArray inches(double v) {
    QByteArray b;
    addF64(b, v);
    return b;
}

QByteArray breaksRecord(const std::vector<int>& at, int spanEnd) {
    QByteArray b;
    add16(b, quint16(at.size()));
    for (int i : at) {
        add16(b, quint16(i));
        add16(b, 0);
        add16(b, quint16(spanEnd));
    }
    return b;
}

QByteArray textRecord(const QString& text) {
    QByteArray b;
    if (!text.isEmpty())
        appendUnicodeString(b, text.left(255), 2);
    return b;
}

}  // namespace

PageSetup readPageSetup(const Sheet& sheet, const QByteArray& stream) {
    PageSetup p;
    int depth = 0;
    for (size_t i = 0; i < sheet.records.size(); ++i) {
        const Record& r = sheet.records[i];
        depth += r.type == rt::kBof ? 1 : r.type == rt::kEof ? -1 : 0;
        if (depth != 1)
            continue;  // an embedded chart's own page
        const char* b = r.body(stream);
        const auto margin = [&](double& field) {
            if (r.size >= 8 && f64(b) >= 0 && f64(b) < 50)
                field = f64(b);
        };
        switch (r.type) {
            case kSetup:
                if (r.size >= 34) {
                    const quint16 options = u16(b + 10);
                    if (!(options & kNoSettings)) {
                        p.paper = u16(b);
                        p.scale = checkedScale(u16(b + 2));
                        p.landscape = !(options & kPortrait);
                    }
                    p.fitWidth = std::min<int>(u16(b + 6), 255);
                    p.fitHeight = std::min<int>(u16(b + 8), 255);
                    if (f64(b + 16) >= 0 && f64(b + 16) < 50)
                        p.header = f64(b + 16);
                    if (f64(b + 24) >= 0 && f64(b + 24) < 50)
                        p.footer = f64(b + 24);
                }
                break;
            case kWsBool:
                if (r.size >= 2)
                    p.fitToPages = u16(b) & kFitToPages;
                break;
            case kLeftMargin:
                margin(p.left);
                break;
            case kRightMargin:
                margin(p.right);
                break;
            case kTopMargin:
                margin(p.top);
                break;
            case kBottomMargin:
                margin(p.bottom);
                break;
            case kHCenter:
                p.centreHorizontally = r.size >= 2 && u16(b);
                break;
            case kVCenter:
                p.centreVertically = r.size >= 2 && u16(b);
                break;
            case kPrintGridlines:
                p.gridlines = r.size >= 2 && u16(b);
                break;
            case kHeader:
                p.headerText = readText(sheet, stream, i);
                break;
            case kFooter:
                p.footerText = readText(sheet, stream, i);
                break;
            case kHorizontalBreaks:
                if (r.size >= 2)
                    p.rowBreaks = readBreaks(b, r.size);
                break;
            case kVerticalBreaks:
                if (r.size >= 2)
                    p.columnBreaks = readBreaks(b, r.size);
                break;
            default:
                break;
        }
    }
    return p;
}

QByteArray printOptionRecords(const PageSetup& p) {
    QByteArray s;
    appendRecord(s, kPrintHeaders, number16(0));
    appendRecord(s, kPrintGridlines, number16(p.gridlines ? 1 : 0));
    appendRecord(s, kGridSet, number16(1));
    return s;
}

QByteArray pageRecords(const PageSetup& p) {
    QByteArray s;
    appendRecord(s, kWsBool, number16(kWsBoolPlain | (p.fitToPages ? kFitToPages : 0)));
    if (!p.rowBreaks.empty())
        appendRecord(s, kHorizontalBreaks, breaksRecord(p.rowBreaks, CellRef::kMaxColumns - 1));
    if (!p.columnBreaks.empty())
        appendRecord(s, kVerticalBreaks, breaksRecord(p.columnBreaks, CellRef::kMaxRows - 1));
    appendRecord(s, kHeader, textRecord(p.headerText));
    appendRecord(s, kFooter, textRecord(p.footerText));
    appendRecord(s, kHCenter, number16(p.centreHorizontally ? 1 : 0));
    appendRecord(s, kVCenter, number16(p.centreVertically ? 1 : 0));
    appendRecord(s, kLeftMargin, inches(p.left));
    appendRecord(s, kRightMargin, inches(p.right));
    appendRecord(s, kTopMargin, inches(p.top));
    appendRecord(s, kBottomMargin, inches(p.bottom));
    // SETUP: paper, scale, first page number, pages across and down,
    // options, print resolution (twice), header and footer margins, copies.
    QByteArray setup;
    for (int v : {p.paper, checkedScale(p.scale), 1, p.fitWidth, p.fitHeight,
                  p.landscape ? 0 : int(kPortrait), 600, 600})
        add16(setup, quint16(v));
    addF64(setup, p.header);
    addF64(setup, p.footer);
    add16(setup, 1);
    appendRecord(s, kSetup, setup);
    return s;
}

}  // namespace velmora::xls
