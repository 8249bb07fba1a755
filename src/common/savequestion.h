#pragma once

#include <QString>

class QWidget;

namespace velmora {

// Asks whether the workbook's unsaved changes are to be saved before the
// program ends: 保存 (true) or 不保存 (false). Closing the question without an
// answer counts as 保存, so nothing is lost by a slip.
bool askToSaveChanges(QWidget* parent, const QString& fileName);

}  // namespace velmora
