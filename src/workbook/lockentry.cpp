#include "workbook/lockentry.h"

#include "workbook/paths.h"

#include <QSysInfo>
#include <QUrl>

namespace velmora {

namespace {

QString loginName() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("unknown");
}

QString escaped(const QString& field) {
    QString out;
    for (QChar c : field) {
        if (c == u',' || c == u';' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out;
}

}  // namespace

LockEntry LockEntry::ours(const QDateTime& when) {
    LockEntry e;
    e.login = loginName();
    e.name = e.login;
    e.host = QSysInfo::machineHostName();
    e.time = when.toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    e.profile = QUrl::fromLocalFile(paths::winpath()).toString();
    return e;
}

std::optional<LockEntry> LockEntry::parse(const QByteArray& content) {
    const QString text = QString::fromUtf8(content);
    QStringList fields(1);
    bool ended = false;
    for (qsizetype i = 0; i < text.size() && !ended; ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size())
            fields.last() += text[++i];
        else if (c == u',')
            fields.append(QString());
        else if (c == u';')
            ended = true;
        else
            fields.last() += c;
    }
    if (!ended || fields.size() < 5)
        return std::nullopt;
    return LockEntry{fields[0], fields[1], fields[2], fields[3], fields[4]};
}

QByteArray LockEntry::serialize() const {
    const QStringList fields = {escaped(name), escaped(login), escaped(host), escaped(time),
                                escaped(profile)};
    return (fields.join(u',') + u';').toUtf8();
}

bool LockEntry::sameHolder(const LockEntry& other) const {
    return login == other.login && host == other.host && profile == other.profile;
}

}  // namespace velmora
