#include "workbook/libreoffice/libreofficehost.h"

#include "common/savequestion.h"
#include "workbook/filechecks.h"
#include "workbook/hosterror.h"
#include "workbook/libreoffice/calcdocument.h"
#include "workbook/libreoffice/officesession.h"
#include "workbook/libreoffice/unostring.h"
#include "workbook/libreoffice/workbookfile.h"

#include <com/sun/star/lang/DisposedException.hpp>

#include <QFileInfo>

namespace velmora {

using office::CalcDocument;
namespace css = com::sun::star;

namespace {

QString officeFailure(const rtl::OUString& detail) {
    return QStringLiteral("LibreOffice 报告了一个错误，操作没有完成。\n%1")
        .arg(office::toQString(detail));
}

}  // namespace

struct LibreOfficeHost::Impl {
    Mode mode = Mode::Visible;
    std::unique_ptr<office::OfficeSession> session;
    std::unique_ptr<CalcDocument> document;
    QString path;
    bool gone = false;

    // The office or the workbook's window has gone: every later operation
    // reports it, and nothing written since the last save reaches the file.
    [[noreturn]] void lost() {
        gone = true;
        throw HostError(QStringLiteral("LibreOffice 中的工作簿“%1”已经关闭，无法再读写。\n"
                                       "刚才的操作没有完成。请退出本程序，再重新启动。")
                            .arg(QFileInfo(path).fileName()));
    }

    // Runs one operation on the open document, with the office's failures
    // turned into HostError.
    template <class Body>
    auto call(Body&& body) {
        if (!document)
            throw HostError(QStringLiteral("工作簿尚未打开。"));
        if (gone || document->closed() || !session->alive())
            lost();
        try {
            return body(*document);
        } catch (const HostError&) {
            // A refusal that the document's closing caused says so.
            if (document->closed())
                lost();
            throw;
        } catch (const office::DocumentGone&) {
            lost();
        } catch (const css::lang::DisposedException&) {
            lost();
        } catch (const css::uno::RuntimeException& e) {
            if (!session->alive())
                lost();
            throw HostError(officeFailure(e.Message));
        } catch (const css::uno::Exception& e) {
            throw HostError(officeFailure(e.Message));
        }
    }

    void frontIfVisible(CalcDocument& doc) {
        if (mode == Mode::Visible)
            doc.bringToFront();
    }

    // Closes the workbook without asking and ends the office.
    void end() {
        if (document && !gone) {
            try {
                document->close();
            } catch (const css::uno::Exception&) {
                // Gone with the office.
            }
        }
        // Releasing an office object over a connection that is going away
        // can throw (the office's references may throw from destructors).
        try {
            document.reset();
        } catch (const css::uno::Exception&) {
            // The document is gone with the connection either way.
        }
        session.reset();
    }

    void load(const QString& file) {
        if (!session || !session->alive()) {
            session = std::make_unique<office::OfficeSession>(mode == Mode::Headless);
            session->start();
        }
        document = session->openWorkbook(file);
    }
};

LibreOfficeHost::LibreOfficeHost(Mode mode) : d(std::make_unique<Impl>()) {
    d->mode = mode;
    setSaveQuestion([this] { return askToSaveChanges(nullptr, QFileInfo(d->path).fileName()); });
}

LibreOfficeHost::~LibreOfficeHost() {
    d->end();
}

void LibreOfficeHost::open(const QString& path) {
    d->end();
    d->gone = false;
    d->path = path;
    checkWorkbookFile(path);
    try {
        d->load(path);
    } catch (const HostError&) {
        d->end();
        throw;
    } catch (const css::uno::Exception& e) {
        d->end();
        throw HostError(officeFailure(e.Message));
    }
}

void LibreOfficeHost::show() {
    d->call([&](CalcDocument& doc) { d->frontIfVisible(doc); });
}

CellValue LibreOfficeHost::read(const QString& sheet, const QString& address) {
    return d->call(
        [&](CalcDocument& doc) { return doc.read(doc.cell(doc.sheet(sheet), address)); });
}

void LibreOfficeHost::writeRaw(const QString& sheet, const QString& address, const QString& text) {
    d->call([&](CalcDocument& doc) { doc.writeText(doc.cell(doc.sheet(sheet), address), text); });
}

void LibreOfficeHost::write(const QString& sheet, const QString& address, const QString& text) {
    const CellValue typed = CellValue::typed(text);
    if (typed.kind != CellValue::Kind::Number)
        return writeRaw(sheet, address, text);
    d->call([&](CalcDocument& doc) {
        doc.writeNumber(doc.cell(doc.sheet(sheet), address), typed.number);
    });
}

void LibreOfficeHost::select(const QString& sheet) {
    d->call([&](CalcDocument& doc) {
        doc.activate(doc.sheet(sheet));
        d->frontIfVisible(doc);
    });
}

void LibreOfficeHost::save() {
    d->call([&](CalcDocument& doc) { doc.store(); });
}

void LibreOfficeHost::quit() {
    if (d->document && !d->gone) {
        try {
            d->call([&](CalcDocument& doc) {
                if (doc.isModified()) {
                    if (answerSaveQuestion())
                        doc.store();
                    else
                        doc.discardChanges();
                }
            });
        } catch (const HostError&) {
            // A failed save keeps everything as it was; a workbook already
            // gone leaves nothing to ask about.
            if (!d->gone)
                throw;
        }
    }
    d->end();
}

bool LibreOfficeHost::hasUnsavedChanges() {
    return d->call([&](CalcDocument& doc) { return doc.isModified(); });
}

void LibreOfficeHost::storeCopy(const QString& path) {
    d->call([&](CalcDocument& doc) { doc.storeCopy(path); });
}

// The office has no window of this program: it is ended as on any way out.
void LibreOfficeHost::abandon() {
    d->end();
}

qint64 LibreOfficeHost::officeProcessId() const {
    return d->session ? d->session->pid() : 0;
}

QString LibreOfficeHost::pipeName() const {
    return d->session ? d->session->pipeName() : QString();
}

}  // namespace velmora
