#pragma once

#include <QString>
#include <optional>

namespace velmora::office {

// While this program runs an office, the profile folder records it: the
// program's process, the office's process (group) and its pipe. A run that
// ends without ending its office (a crash) leaves the record behind, and the
// next start finds the office by it: left running, it would keep the profile,
// and a new office started on the same profile joins the old one.
struct OfficeRecord {
    qint64 owner = 0;
    qint64 office = 0;
    QString pipe;

    QByteArray serialize() const;
    static std::optional<OfficeRecord> parse(const QByteArray& content);
};

void recordOffice(const QString& profileDir, const OfficeRecord& record);
void forgetOffice(const QString& profileDir);

// Before an office is started on the profile: an office left behind by an
// earlier run (recognised by its pipe) is ended, unless it holds changes
// nobody saved (then the teacher is asked to save and close it first). An
// office that a running copy of this program still uses refuses the start.
// Both refusals throw HostError.
void endStaleOffice(const QString& profileDir);

}  // namespace velmora::office
