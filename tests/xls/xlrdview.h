#pragma once

#include <QJsonObject>
#include <QStringList>

// What python3-xlrd sees in .xls files (through xlrd_view.py), for tests
// that check the engine against an independent reader.
namespace velmora::test {

bool xlrdAvailable();
// One JSON object per file, in order; {"error": ...} for a file xlrd
// cannot read. Runs one python process for all the files: xlrd_view.py,
// or another script beside it.
QList<QJsonObject> xlrdView(const QStringList& files,
                            const QString& script = QStringLiteral("xlrd_view.py"));

// The .xls files of the shared corpus.
QStringList corpusFiles();

}  // namespace velmora::test
