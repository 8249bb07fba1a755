#pragma once

#include "workbook/libreoffice/interactionhandler.h"

#include <QString>

namespace velmora::office {

// The message for a load that did not succeed: who holds the workbook when
// it is locked, else what the office said.
QString refusalMessage(const QString& path, const AbortingInteractionHandler::Refusal& refusal,
                       const QString& detail);

}  // namespace velmora::office
