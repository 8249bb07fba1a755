#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Reads a file of the shared corpus by its name.
namespace velmora::test {

inline QByteArray corpusBytes(const QString& name) {
    QFile f(qEnvironmentVariable("VELMORA_CORPUS") + u'/' + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace velmora::test
