#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace velmora {

// Replaces the file at path with bytes so that, whatever happens during the
// write (a crash, a power cut, a full disk), the path holds either the old
// file or the new one, never a mixture: the bytes go to a new file beside the
// old one, are flushed to the disk, and that file is renamed over the old one.
// Throws HostError with a message for the teacher; the old file is untouched.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// Creates the file at path with bytes, in the same way, but never replaces a
// file that is there: false (and nothing changed) when the path exists.
// Throws HostError when the file cannot be written.
bool createFileAtomically(const QString& path, const QByteArray& bytes);

// Test seam: called at each step of writeFileAtomically ("open", "write",
// "flush", "rename"); a test throws from it to simulate a failure there.
using AtomicWriteProbe = std::function<void(const char* step)>;
void setAtomicWriteProbe(AtomicWriteProbe probe);

}  // namespace velmora
