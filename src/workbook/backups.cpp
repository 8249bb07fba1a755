#include "workbook/backups.h"

#include "workbook/atomicfile.h"
#include "workbook/filechecks.h"
#include "workbook/hosterror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

namespace velmora::backups {

namespace {

std::function<QDateTime()>& clock() {
    static std::function<QDateTime()> c;
    return c;
}

QString dateText(const QDate& day) {
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

// The backups of the workbook by day: "<name> yyyy-MM-dd….xls".
QMap<QDate, QStringList> byDay(const QString& workbookPath) {
    const QFileInfo workbook(workbookPath);
    const QRegularExpression name(QStringLiteral("^%1 (\\d{4}-\\d{2}-\\d{2})( \\(.*\\))?\\.%2$")
                                      .arg(QRegularExpression::escape(workbook.completeBaseName()),
                                           QRegularExpression::escape(workbook.suffix())));
    QMap<QDate, QStringList> days;
    const QDir dir(folder(workbookPath));
    for (const QString& file : dir.entryList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch m = name.match(file);
        const QDate day = m.hasMatch() ? QDate::fromString(m.captured(1), Qt::ISODate) : QDate();
        if (day.isValid())
            days[day].append(dir.filePath(file));
    }
    return days;
}

// Backups of days beyond the newest kDaysKept go. A file that cannot be
// removed stays; the next day tries again.
void removeOldDays(const QString& workbookPath) {
    const QMap<QDate, QStringList> days = byDay(workbookPath);
    const qsizetype old = days.size() - kDaysKept;
    auto it = days.cbegin();
    for (qsizetype i = 0; i < old; ++i, ++it)
        for (const QString& file : it.value())
            QFile::remove(file);
}

void makeFolder(const QString& workbookPath) {
    const QString dir = folder(workbookPath);
    if (!QDir().mkpath(dir))
        throw HostError(QStringLiteral("无法建立备份文件夹“%1”，工作簿没有保存。")
                            .arg(QDir::toNativeSeparators(dir)));
}

}  // namespace

QString folder(const QString& workbookPath) {
    return QFileInfo(workbookPath).dir().filePath(QStringLiteral("备份"));
}

QString dailyPath(const QString& workbookPath, const QDate& day) {
    const QFileInfo workbook(workbookPath);
    return QDir(folder(workbookPath))
        .filePath(QStringLiteral("%1 %2.%3")
                      .arg(workbook.completeBaseName(), dateText(day), workbook.suffix()));
}

void beforeSave(const QString& workbookPath) {
    const QString copy = dailyPath(workbookPath, now().date());
    // Nothing to keep where there is no file (a first save; a folder in the
    // file's place makes the save itself fail).
    if (QFileInfo::exists(copy) || !QFileInfo(workbookPath).isFile())
        return;
    makeFolder(workbookPath);
    try {
        createFileAtomically(copy, readWorkbookFile(workbookPath));
    } catch (const HostError& e) {
        throw HostError(QStringLiteral("今天第一次保存前要先备份工作簿，备份没有成功，工作簿没有保存。\n%1")
                            .arg(e.message()));
    }
    removeOldDays(workbookPath);
}

QString restore(const QString& workbookPath, const QString& backupPath) {
    const QByteArray backup = readWorkbookFile(backupPath);
    makeFolder(workbookPath);
    const QFileInfo workbook(workbookPath);
    const QDateTime at = now();
    const QString stem = QStringLiteral("%1 %2 (恢复前 %3")
                             .arg(workbook.completeBaseName(), dateText(at.date()),
                                  at.toString(QStringLiteral("HHmm")));
    const QByteArray replaced = readWorkbookFile(workbookPath);
    const QDir dir(folder(workbookPath));
    QString kept = dir.filePath(QStringLiteral("%1).%2").arg(stem, workbook.suffix()));
    for (int n = 2; !createFileAtomically(kept, replaced); ++n)
        kept = dir.filePath(QStringLiteral("%1 %2).%3").arg(stem).arg(n).arg(workbook.suffix()));
    writeFileAtomically(workbookPath, backup);
    return kept;
}

void setClock(std::function<QDateTime()> now) {
    clock() = std::move(now);
}

QDateTime now() {
    return clock() ? clock()() : QDateTime::currentDateTime();
}

}  // namespace velmora::backups
