#pragma once

#include <QByteArray>
#include <QString>

namespace velmora::office {

// The LibreOffice installation this program was built against.
QString programDir();
QString sofficePath();

// The office profile of this program, under the per-user application data
// folder: kept apart from the teacher's own LibreOffice settings, so that
// neither disturbs the other.
QString profileDir();
QString profileUrl(const QString& dir);

// The installed version as the profile records it ("7.4"), read from the
// installation's bootstraprc ("ProductKey=LibreOffice 7.4"); empty when
// unknown.
QString installedVersion(const QString& programDir);

// The settings a fresh profile starts with: the version already set up (no
// first-start work, about 650 ms of every start otherwise), no tip of the
// day, and no question about keeping the Excel format when the teacher saves.
QByteArray registrySeed(const QString& version);

// Creates the profile folder and writes the seed, unless the office has
// written its own settings there already. Throws HostError.
void seedProfile(const QString& dir, const QString& version);

}  // namespace velmora::office
