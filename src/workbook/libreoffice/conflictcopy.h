#pragma once

#include <com/sun/star/frame/XStorable.hpp>

#include <QString>

namespace velmora::office {

namespace css = com::sun::star;

// Stores the document as an Excel 97-2003 file at copy; the document's own
// file and its modified state stay as they are. css::io::IOException when the
// office could not write it.
void storeCopyTo(const css::uno::Reference<css::frame::XStorable>& document, const QString& copy);

// The office refused a save because another program changed the workbook
// file after it was loaded: the teacher's workbook goes to a copy beside the
// file instead, "<name> (未保存的修改 yyyy-MM-dd HHmm).xls", the same copy
// (copyPath, empty at first) for every later refused save of the run. Always
// throws HostError, saying where the copy is, or that it failed too.
[[noreturn]] void storeConflictCopy(const css::uno::Reference<css::frame::XStorable>& document,
                                    QString& copyPath);

}  // namespace velmora::office
