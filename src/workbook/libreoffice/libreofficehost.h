#pragma once

#include "workbook/spreadsheethost.h"

#include <QString>
#include <memory>

namespace velmora {

// The class workbook held open by LibreOffice Calc, driven over UNO. The
// office runs as a child process of its own, with a private profile under
// the per-user application data folder, for as long as this object lives;
// every way out (quit, destruction, a failed start) ends it.
class LibreOfficeHost : public SpreadsheetHost {
public:
    // Visible: the workbook in an ordinary Calc window the teacher works in.
    // Headless: no window at all (tests, machines without a display).
    enum class Mode { Visible, Headless };

    explicit LibreOfficeHost(Mode mode = Mode::Visible);
    ~LibreOfficeHost() override;

    void open(const QString& path) override;
    void show() override;
    CellValue read(const QString& sheet, const QString& address) override;
    void writeRaw(const QString& sheet, const QString& address, const QString& text) override;
    void write(const QString& sheet, const QString& address, const QString& text) override;
    void select(const QString& sheet) override;
    void save() override;
    bool quit() override;
    bool hasUnsavedChanges() override;
    void storeCopy(const QString& path) override;
    void abandon() override;

    // The running office process and its connection pipe (0 and empty when
    // none runs): for diagnostics, and for tests that end it from outside.
    qint64 officeProcessId() const;
    QString pipeName() const;

    // Why LibreOffice cannot serve in this mode: not installed, or (Visible)
    // no display to show its window on. Empty when it can.
    static QString unavailableReason(Mode mode);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace velmora
