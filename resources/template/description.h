#pragma once

#include "workbook/xls/sheetlayout.h"

#include <QJsonObject>
#include <QString>
#include <stdexcept>
#include <utility>
#include <vector>

// The template workbook's description (workbook.json) read into what the
// engine writes: each sheet's layout and the contents of its cells, texts
// and formulas ("=..."), in the order they are to be stored.
namespace velmora::maketemplate {

// A fault in the description: the build stops with this message.
struct DescriptionError : std::runtime_error {
    explicit DescriptionError(const QString& why) : std::runtime_error(why.toStdString()) {}
};

struct TemplateSheet {
    xls::SheetLayout layout;
    std::vector<std::pair<CellRef, QString>> contents;
};

std::vector<TemplateSheet> readDescription(const QJsonObject& root);

// Looks by name ("styles") applied to the ranges of a sheet ("looks"): each
// entry names a range and styles whose settings go over what the cells had.
void applyLooks(const QJsonObject& styles, const QJsonArray& looks, xls::SheetLayout& layout);

// "A1:C3", "B2" (one cell), "2:5" (whole rows), "C:D" (whole columns).
struct Range {
    CellRef first, last;
};
Range parseRange(const QString& text);

}  // namespace velmora::maketemplate
