#include "xlrdview.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>

namespace velmora::test {

namespace {
const QString kPython = QStringLiteral("/usr/bin/python3");

// The folder is given at build time: __FILE__ may be relative (ccache's
// base_dir makes it so) while tests run in the build folder.
QString scriptPath(const QString& name) {
    return QStringLiteral(VELMORA_XLS_TEST_DIR "/") + name;
}
}  // namespace

bool xlrdAvailable() {
    return QProcess::execute(kPython, {QStringLiteral("-c"), QStringLiteral("import xlrd")}) == 0;
}

QList<QJsonObject> xlrdView(const QStringList& files, const QString& script) {
    QProcess p;
    p.start(kPython, QStringList{scriptPath(script)} + files);
    p.waitForFinished(300000);
    QList<QJsonObject> views;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            views << QJsonDocument::fromJson(line).object();
    while (views.size() < files.size())
        views << QJsonObject{
            {QStringLiteral("error"), QString::fromUtf8(p.readAllStandardError())}};
    return views;
}

QStringList corpusFiles() {
    const QDir dir(qEnvironmentVariable("VELMORA_CORPUS"));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.xls")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

}  // namespace velmora::test
