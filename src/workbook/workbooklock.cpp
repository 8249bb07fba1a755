#include "workbook/workbooklock.h"

#include "workbook/hosterror.h"
#include "workbook/lockentry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velmora {

namespace {

QByteArray readSmallFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(4096);
}

[[noreturn]] void refuse(const QString& workbookPath, const QString& lockPath,
                         const std::optional<LockEntry>& holder, bool running) {
    const QString file = QFileInfo(workbookPath).fileName();
    if (running && holder && holder->sameHolder(LockEntry::ours(QDateTime::currentDateTime())))
        throw HostError(QStringLiteral("工作簿“%1”已经在另一个正在运行的本程序中打开。\n"
                                       "请使用已经打开的那一个。")
                            .arg(file));
    const QString who = holder ? QStringLiteral("使用者：%1\n计算机：%2\n打开时间：%3\n")
                                     .arg(holder->name.isEmpty() ? holder->login : holder->name,
                                          holder->host, holder->time)
                               : QString();
    throw HostError(QStringLiteral("工作簿“%1”正被另一个程序使用。\n%2"
                                   "请先在那个程序中关闭这个工作簿，再重新打开。\n"
                                   "如果那个程序已经不在运行，请删除锁定文件“%3”后再试。")
                        .arg(file, who, QDir::toNativeSeparators(lockPath)));
}

}  // namespace

QString WorkbookLock::lockPathFor(const QString& workbookPath) {
    const QFileInfo info(workbookPath);
    return info.absoluteDir().filePath(QStringLiteral(".~lock.%1#").arg(info.fileName()));
}

WorkbookLock::WorkbookLock(const QString& workbookPath)
    : workbookPath_(workbookPath), lockPath_(lockPathFor(workbookPath)) {
    // Two tries: a lock file that disappears between the look and the
    // exclusive creation is looked at once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (hold_.acquire(lockPath_, true)) {
            case FileHold::Result::Held:
                writeEntry();
                return;
            case FileHold::Result::Busy:
                refuse(workbookPath_, lockPath_, LockEntry::parse(readSmallFile(lockPath_)), true);
            case FileHold::Result::Exists:
                if (QFileInfo::exists(lockPath_)) {
                    takeExisting();
                    return;
                }
                break;
            case FileHold::Result::Failed:
                throw HostError(QStringLiteral("无法在工作簿所在的文件夹中建立锁定文件“%1”：%2")
                                    .arg(QDir::toNativeSeparators(lockPath_), hold_.error()));
        }
    }
    refuse(workbookPath_, lockPath_, std::nullopt, false);
}

WorkbookLock::~WorkbookLock() {
    hold_.removeAndRelease();
}

void WorkbookLock::takeExisting() {
    const std::optional<LockEntry> holder = LockEntry::parse(readSmallFile(lockPath_));
    const FileHold::Result r = hold_.acquire(lockPath_, false);
    if (r != FileHold::Result::Held)
        refuse(workbookPath_, lockPath_, holder, r == FileHold::Result::Busy);
    if (!holder || !holder->sameHolder(LockEntry::ours(QDateTime::currentDateTime()))) {
        hold_.release();
        refuse(workbookPath_, lockPath_, holder, false);
    }
    // Our own lock, held by no process: a run of this program ended without
    // removing it.
    writeEntry();
}

void WorkbookLock::writeEntry() {
    if (!hold_.replaceContent(LockEntry::ours(QDateTime::currentDateTime()).serialize())) {
        hold_.removeAndRelease();
        throw HostError(
            QStringLiteral("无法写入锁定文件“%1”。").arg(QDir::toNativeSeparators(lockPath_)));
    }
}

}  // namespace velmora
