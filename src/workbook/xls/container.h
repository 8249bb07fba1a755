#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

// The OLE2 compound file around the workbook: every storage and stream with
// its path, read and written through libgsf, so that streams the engine does
// not understand (summary information, macros, embedded objects, WPS's
// private data) survive a save unchanged.
namespace velmora::xls {

using ClassId = std::array<quint8, 16>;

struct ContainerEntry {
    QString name;     // "Workbook", "VBA", "\x05SummaryInformation"
    int parent = -1;  // index of the storage holding it; -1: the root storage
    bool isStorage = false;
    ClassId classId{};  // storages only
    QByteArray data;    // streams only
};

struct Container {
    // The file read; streams stored in one piece in it are referred to,
    // not copied.
    QByteArray backing;
    ClassId rootClassId{};
    std::vector<ContainerEntry> entries;  // parents before their children
};

// Throws XlsError when the bytes are not a readable compound file.
Container readContainer(const QByteArray& file);
QByteArray writeContainer(const Container& container);

}  // namespace velmora::xls
