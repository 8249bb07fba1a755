#include "workbook/libreoffice/officesession.h"

#include "workbook/filechecks.h"
#include "workbook/hosterror.h"
#include "workbook/libreoffice/officeprofile.h"
#include "workbook/libreoffice/processcontrol.h"
#include "workbook/libreoffice/staleoffice.h"
#include "workbook/libreoffice/unostring.h"
#include "workbook/libreoffice/workbookfile.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QUrl>

namespace velmora::office {

using css::uno::Reference;

namespace {

// A first start on a fresh profile takes a few seconds; a busy machine more.
constexpr int kStartTimeoutMs = 60000;
constexpr int kEndTimeoutMs = 10000;

css::beans::PropertyValue property(const char* name, const css::uno::Any& value) {
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

}  // namespace

OfficeSession::OfficeSession(bool headless) : headless_(headless) {}

OfficeSession::~OfficeSession() {
    end();
}

void OfficeSession::start() {
    profile_ = profileDir();
    seedProfile(profile_, installedVersion(programDir()));
    endStaleOffice(profile_);
    ignoreBrokenPipes();
    process_ = std::make_unique<OfficeProcess>();
    process_->start(profile_, headless_);
    recordOffice(profile_,
                 {QCoreApplication::applicationPid(), process_->pid(), process_->pipeName()});
    const QDeadlineTimer deadline(kStartTimeoutMs);
    const auto running = [this](int ms) { return !process_->waitForExit(ms); };
    for (;;) {
        try {
            office_ = connectOffice(process_->unoUrl(), int(deadline.remainingTime()), running);
            if (office_.is())
                desktop_ = officeDesktop(office_);
        } catch (const css::uno::Exception&) {
            // An office still setting itself up may take the connection and
            // then fail the call for its desktop: ask again until the time
            // is up or the office has ended.
            office_.clear();
        }
        if (desktop_.is())
            return;
        if (deadline.hasExpired() || !running(100))
            break;
    }
    const bool ended = process_->waitForExit(0);
    const QString output = process_->outputTail();
    process_->kill();
    end();
    throw HostError((ended ? QStringLiteral("LibreOffice 启动后又退出了，无法打开工作簿。")
                           : QStringLiteral("LibreOffice 没有在 %1 秒内启动完成，无法打开工作簿。")
                                 .arg(kStartTimeoutMs / 1000)) +
                    (output.isEmpty() ? QString() : QStringLiteral("\n") + output));
}

bool OfficeSession::alive() {
    return process_ && !process_->waitForExit(0);
}

qint64 OfficeSession::pid() const {
    return process_ ? process_->pid() : 0;
}

QString OfficeSession::pipeName() const {
    return process_ ? process_->pipeName() : QString();
}

Reference<css::lang::XComponent> OfficeSession::load(
    const QString& path, const Reference<css::task::XInteractionHandler>& handler) {
    const css::beans::PropertyValue args[] = {
        property("Hidden", css::uno::Any(headless_)),
        property("InteractionHandler", css::uno::Any(handler)),
        // Nothing runs and nothing is fetched while the workbook opens.
        property("MacroExecutionMode", css::uno::Any(css::document::MacroExecMode::NEVER_EXECUTE)),
        property("UpdateDocMode", css::uno::Any(css::document::UpdateDocMode::NO_UPDATE))};
    return desktop_->loadComponentFromURL(
        toOUString(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)), rtl::OUString("_blank"),
        0, css::uno::Sequence<css::beans::PropertyValue>(args, std::size(args)));
}

std::unique_ptr<CalcDocument> OfficeSession::openWorkbook(const QString& path) {
    const rtl::Reference<AbortingInteractionHandler> handler = new AbortingInteractionHandler;
    Reference<css::lang::XComponent> component;
    QString detail;
    try {
        component = load(path, handler.get());
    } catch (const css::uno::Exception& e) {
        detail = toQString(e.Message);
    }
    if (!component.is())
        throw HostError(refusalMessage(path, handler->take(), detail));
    // The office opens what it recognises, a text document too.
    if (!css::uno::Reference<css::sheet::XSpreadsheetDocument>(component, css::uno::UNO_QUERY)
             .is()) {
        closeComponent(component);
        throw HostError(notAWorkbookMessage(path));
    }
    try {
        auto document = std::make_unique<CalcDocument>(component, handler);
        document->activateFirstSheet();
        return document;
    } catch (...) {
        closeComponent(component);
        throw;
    }
}

void OfficeSession::end() {
    if (!process_)
        return;
    bool terminated = true;
    if (desktop_.is() && alive()) {
        try {
            terminated = desktop_->terminate();
        } catch (const css::uno::Exception&) {
            // The connection went down with the office.
        }
    }
    try {
        desktop_.clear();
        office_.clear();
    } catch (const css::uno::Exception&) {
        // Releasing over a connection that went down with the office.
    }
    if (!terminated) {
        process_->release();
        process_.reset();
        return;
    }
    if (!process_->waitForExit(kEndTimeoutMs))
        process_->kill();
    removeLeftoverPipe(process_->pipeName());
    process_.reset();
    forgetOffice(profile_);
}

}  // namespace velmora::office
