#pragma once

#include <QString>

namespace velmora {

// On the first start there is no workbook at path yet: the template workbook
// is put there (folders created). An existing file is never replaced.
void installTemplateIfMissing(const QString& path);

}  // namespace velmora
