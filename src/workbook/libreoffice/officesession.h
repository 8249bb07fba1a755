#pragma once

#include "workbook/libreoffice/calcdocument.h"
#include "workbook/libreoffice/officeprocess.h"
#include "workbook/libreoffice/unoconnection.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>

#include <QString>
#include <memory>

namespace velmora::office {

// The office this program runs: started on the program's own profile,
// connected over its pipe, and ended again on every way out.
class OfficeSession {
public:
    explicit OfficeSession(bool headless);
    ~OfficeSession();  // ends the office
    OfficeSession(const OfficeSession&) = delete;
    OfficeSession& operator=(const OfficeSession&) = delete;

    // Starts the office and connects to it, within a deadline; on failure the
    // office is ended and HostError thrown.
    void start();
    bool started() const { return desktop_.is(); }
    bool alive();
    qint64 pid() const;
    QString pipeName() const;

    // Loads the workbook file in a new window (hidden when headless), on its
    // first sheet. Throws HostError when the office does not load it (a lock
    // held by someone else, a file it cannot read, not a spreadsheet).
    std::unique_ptr<CalcDocument> openWorkbook(const QString& path);

    // Ends the office: asks it to terminate, waits, kills it on a timeout.
    // An office that refuses because the teacher keeps other documents of
    // their own open in it is left running for them.
    void end();

private:
    css::uno::Reference<css::lang::XComponent> load(
        const QString& path, const css::uno::Reference<css::task::XInteractionHandler>& handler);

    bool headless_;
    QString profile_;
    std::unique_ptr<OfficeProcess> process_;
    css::uno::Reference<css::uno::XComponentContext> office_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
};

}  // namespace velmora::office
