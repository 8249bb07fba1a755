#pragma once

#include "workbook/libreoffice/interactionhandler.h"

#include <QString>

namespace velmora::office {

// What the host checks of the workbook file itself before the office loads
// it, and how it reports a load the office refused.

// The file exists, can be read and is an Excel 97-2003 workbook (an OLE2
// compound file): the office would open an empty or plain-text file as a new
// spreadsheet, which a later save would write over the file. Throws HostError.
void checkWorkbookFile(const QString& path);

QString notAWorkbookMessage(const QString& path);

// The message for a load that did not succeed: who holds the workbook when
// it is locked, else what the office said.
QString refusalMessage(const QString& path, const AbortingInteractionHandler::Refusal& refusal,
                       const QString& detail);

}  // namespace velmora::office
