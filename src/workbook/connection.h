#pragma once

#include "workbook/spreadsheethost.h"

#include <QDateTime>
#include <QString>
#include <memory>

namespace velmora {

// The one connection of the run: the host (ExcelApp) and the class workbook
// it holds open (StudentWorkbook). Global, as every window reaches it directly.
class StudentWorkbook {
public:
    // Start, Open and Show host, in that order. On failure the connection
    // stays closed and the error propagates.
    static void start(std::unique_ptr<SpreadsheetHost> host, const QString& path);
    // Takes a host whose workbook (at path) is already open (tests, other
    // hosts).
    static void adopt(std::unique_ptr<SpreadsheetHost> host, const QString& path = {});
    static bool isOpen();
    // The host; throws HostError when no connection was started.
    static SpreadsheetHost& ExcelApp();

    static QString read(const QString& sheet, const QString& address);
    static void writeRaw(const QString& sheet, const QString& address, const QString& text);
    static void write(const QString& sheet, const QString& address, const QString& text);
    static void select(const QString& sheet);
    static void save();
    // End: the host quits and the connection is closed; false when the
    // teacher chose to go back to work (取消), the connection then stays.
    static bool quit();
    // Drops the host without asking anything (tests, program teardown).
    static void close();

    // When the run ends in a way that cannot save or ask (a signal, a session
    // end): unsaved changes go, with the rest of the workbook, to the conflict
    // copy beside the workbook file (conflictcopy.h), named for the time now;
    // the workbook file is not touched. Returns the copy's path, or empty
    // when nothing was unsaved. HostError when the copy was not written.
    static QString keepUnsavedInCopy(const QDateTime& now);
    // Lets go of the host as the process ends (SpreadsheetHost::abandon);
    // the connection is closed afterwards, the host object kept until exit.
    static void abandon();
};

}  // namespace velmora
