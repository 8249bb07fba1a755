#pragma once

#include <QString>
#include <rtl/ustring.hxx>

namespace velmora::office {

// Both sides hold UTF-16: the conversion copies the code units as they are.
inline rtl::OUString toOUString(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), sal_Int32(s.size()));
}

inline QString toQString(const rtl::OUString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

}  // namespace velmora::office
