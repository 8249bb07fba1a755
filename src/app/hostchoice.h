#pragma once

#include "workbook/spreadsheethost.h"

#include <QString>
#include <functional>
#include <memory>

namespace velmora {

// Which spreadsheet program holds the class workbook: --host=embedded,
// --host=libreoffice, or, without the option, LibreOffice where it can show
// its window and the program's own embedded host otherwise.
enum class HostChoice { Automatic, Embedded, LibreOffice };

using HostFactory = std::function<std::unique_ptr<SpreadsheetHost>()>;

// The factory the welcome window calls on confirm. It installs the template
// workbook on the first start, then makes the chosen host; a host that cannot
// serve (LibreOffice missing when it was asked for) throws HostError.
HostFactory hostFactory(HostChoice choice, const QString& workbook);

}  // namespace velmora
