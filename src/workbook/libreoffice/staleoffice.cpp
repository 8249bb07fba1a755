#include "workbook/libreoffice/staleoffice.h"

#include "workbook/hosterror.h"
#include "workbook/libreoffice/processcontrol.h"
#include "workbook/libreoffice/unoconnection.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSaveFile>
#include <QThread>

namespace velmora::office {

using css::uno::Reference;
using css::uno::UNO_QUERY;

namespace {

QString recordPath(const QString& profileDir) {
    return profileDir + QStringLiteral("/velmora-office");
}

// The office of the record, if it still listens on its pipe.
Reference<css::frame::XDesktop2> reachOffice(const OfficeRecord& record) {
    try {
        const Reference<css::uno::XComponentContext> office = connectOffice(
            QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(record.pipe),
            2000, [&](int ms) {
                QThread::msleep(ms);
                return processGroupAlive(record.office);
            });
        if (office.is())
            return officeDesktop(office);
    } catch (const css::uno::Exception&) {
    }
    return {};
}

bool holdsUnsavedWork(const Reference<css::frame::XDesktop2>& office) {
    try {
        const Reference<css::container::XEnumeration> documents =
            office->getComponents()->createEnumeration();
        while (documents->hasMoreElements()) {
            const Reference<css::util::XModifiable> doc(documents->nextElement(), UNO_QUERY);
            if (doc.is() && doc->isModified())
                return true;
        }
    } catch (const css::uno::Exception&) {
    }
    return false;
}

QString programOf(qint64 pid) {
    return processCommandLine(pid).section(u' ', 0, 0);
}

// Process ids are used again: the record's owner counts as running only
// when it runs this program (where the system tells).
bool ownerRunning(const OfficeRecord& record) {
    if (!processAlive(record.owner))
        return false;
    const QString owner = programOf(record.owner);
    return owner.isEmpty() || owner == programOf(QCoreApplication::applicationPid());
}

}  // namespace

QByteArray OfficeRecord::serialize() const {
    return QStringLiteral("%1\n%2\n%3\n").arg(owner).arg(office).arg(pipe).toUtf8();
}

std::optional<OfficeRecord> OfficeRecord::parse(const QByteArray& content) {
    const QList<QByteArray> lines = content.split('\n');
    if (lines.size() < 3)
        return std::nullopt;
    bool ownerOk = false;
    bool officeOk = false;
    OfficeRecord r{lines[0].toLongLong(&ownerOk), lines[1].toLongLong(&officeOk),
                   QString::fromUtf8(lines[2])};
    if (!ownerOk || !officeOk || r.owner <= 0 || r.office <= 0 || r.pipe.isEmpty())
        return std::nullopt;
    return r;
}

void recordOffice(const QString& profileDir, const OfficeRecord& record) {
    QSaveFile f(recordPath(profileDir));
    if (f.open(QIODevice::WriteOnly))
        f.write(record.serialize());
    f.commit();
}

void forgetOffice(const QString& profileDir) {
    QFile::remove(recordPath(profileDir));
}

void endStaleOffice(const QString& profileDir) {
    QFile f(recordPath(profileDir));
    const std::optional<OfficeRecord> record =
        f.open(QIODevice::ReadOnly) ? OfficeRecord::parse(f.read(4096)) : std::nullopt;
    f.close();
    if (!record)
        return;
    if (!processGroupAlive(record->office)) {
        removeLeftoverPipe(record->pipe);
        forgetOffice(profileDir);
        return;
    }
    // Only an office that answers on the record's pipe, or whose process
    // was started with it, is the one recorded.
    const Reference<css::frame::XDesktop2> office = reachOffice(*record);
    if (!office.is() && !processCommandLine(record->office).contains(record->pipe)) {
        forgetOffice(profileDir);
        return;
    }
    if (ownerRunning(*record))
        throw HostError(
            QStringLiteral("LibreOffice 正在为另一个打开的本程序工作。\n"
                           "一次只能运行一个本程序，请使用已经打开的那一个。"));
    if (office.is() && holdsUnsavedWork(office))
        throw HostError(
            QStringLiteral("上次运行时打开的 LibreOffice 还开着，其中有没有保存的修改。\n"
                           "请先在 LibreOffice 中保存并关闭这些文档，再重新开始。"));
    killProcessGroup(record->office);
    const QDeadlineTimer deadline(5000);
    while (processGroupAlive(record->office) && !deadline.hasExpired()) QThread::msleep(20);
    removeLeftoverPipe(record->pipe);
    forgetOffice(profileDir);
}

}  // namespace velmora::office
