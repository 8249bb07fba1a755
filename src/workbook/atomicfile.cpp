#include "workbook/atomicfile.h"

#include "workbook/hosterror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace velmora {

namespace {
AtomicWriteProbe& probe() {
    static AtomicWriteProbe p;
    return p;
}

void step(const char* name) {
    if (probe())
        probe()(name);
}

[[noreturn]] void fail(const QString& path, const QString& why) {
    throw HostError(QStringLiteral("无法保存文件“%1”：%2\n原来的文件没有改动。")
                        .arg(QFileInfo(path).fileName(), why));
}
}  // namespace

void setAtomicWriteProbe(AtomicWriteProbe p) {
    probe() = std::move(p);
}

// QSaveFile writes to a temporary file in the same folder, flushes it to the
// disk on commit (fsync) and renames it over the target; until commit() the
// target is not touched, and a destroyed, uncommitted QSaveFile removes its
// temporary file.
void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    step("open");
    if (!file.open(QIODevice::WriteOnly))
        fail(path, file.errorString());
    step("write");
    if (file.write(bytes) != bytes.size())
        fail(path, file.errorString());
    step("flush");
    if (!file.flush())
        fail(path, file.errorString());
    step("rename");
    if (!file.commit())
        fail(path, file.errorString());
}

// The bytes reach the disk under a hidden name beside the target first; the
// rename that gives them the target's name does not replace an existing file
// (QFile::rename refuses to), so a file is either complete or not there.
bool createFileAtomically(const QString& path, const QByteArray& bytes) {
    if (QFileInfo::exists(path))
        return false;
    const QFileInfo target(path);
    const QString part = target.dir().filePath(u'.' + target.fileName() + QStringLiteral(".part"));
    writeFileAtomically(part, bytes);
    if (QFile::rename(part, path))
        return true;
    QFile::remove(part);
    if (QFileInfo::exists(path))
        return false;
    fail(path, QStringLiteral("无法命名文件。"));
}

}  // namespace velmora
