#include "workbook/libreoffice/conflictcopy.h"

#include "workbook/conflictcopy.h"
#include "workbook/libreoffice/unostring.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/io/IOException.hpp>

#include <QDateTime>
#include <QFileInfo>
#include <QUrl>

namespace velmora::office {

void storeCopyTo(const css::uno::Reference<css::frame::XStorable>& document, const QString& copy) {
    css::beans::PropertyValue args[2];
    args[0].Name = rtl::OUString("FilterName");
    args[0].Value <<= rtl::OUString("MS Excel 97");
    args[1].Name = rtl::OUString("Overwrite");
    args[1].Value <<= true;
    document->storeToURL(toOUString(QUrl::fromLocalFile(copy).toString(QUrl::FullyEncoded)),
                         css::uno::Sequence<css::beans::PropertyValue>(args, 2));
}

void storeConflictCopy(const css::uno::Reference<css::frame::XStorable>& document,
                       QString& copyPath) {
    const QString path = QUrl(toQString(document->getLocation())).toLocalFile();
    const QString copy =
        copyPath.isEmpty() ? conflictCopyPath(path, QDateTime::currentDateTime()) : copyPath;
    try {
        storeCopyTo(document, copy);
    } catch (const css::io::IOException& e) {
        reportCopyFailed(path, toQString(e.Message),
                         QStringLiteral("您的修改仍在 LibreOffice 中，请不要关闭它。"));
    }
    copyPath = copy;
    reportSavedToCopy(path, copy);
}

}  // namespace velmora::office
