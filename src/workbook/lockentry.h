#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace velmora {

// One entry of a LibreOffice-style lock file: who holds a document open.
// On disk: the five fields separated by ',', ended by ';', with ',', ';' and
// '\' inside a field escaped by '\':
//   name,login,host,dd.MM.yyyy hh:mm,profile URL;
// LibreOffice writes and reads the same form, so either program sees the
// other's lock.
struct LockEntry {
    QString name;     // the name shown to others
    QString login;    // the system user
    QString host;     // the computer
    QString time;     // when the document was opened, dd.MM.yyyy hh:mm
    QString profile;  // the holding program's profile folder as a URL

    // This program run by this user on this computer, opened at `when`.
    static LockEntry ours(const QDateTime& when);
    static std::optional<LockEntry> parse(const QByteArray& content);
    QByteArray serialize() const;

    // Same user, same computer, same program profile: a lock this program
    // itself left behind.
    bool sameHolder(const LockEntry& other) const;
};

}  // namespace velmora
