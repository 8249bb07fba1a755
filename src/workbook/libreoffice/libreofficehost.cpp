#include "workbook/libreoffice/libreofficehost.h"

#include "common/messages.h"
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

// The office or the workbook's window went away in the middle of an operation.
struct WorkbookLost {};

}  // namespace

struct LibreOfficeHost::Impl {
    Mode mode = Mode::Visible;
    std::unique_ptr<office::OfficeSession> session;
    std::unique_ptr<CalcDocument> document;
    QString path;  // the workbook file while the host holds it open

    bool reachable() { return document && !document->closed() && session && session->alive(); }

    // Runs one operation on the open document, with the office's failures
    // turned into HostError; WorkbookLost when the document or the office
    // went away meanwhile (cell calls on a closed document pass without
    // effect, so a refusal after the closing is the closing).
    template <class Body>
    auto attempt(Body& body) {
        if (!reachable())
            throw WorkbookLost();
        try {
            return body(*document);
        } catch (const HostError&) {
            if (document->closed())
                throw WorkbookLost();
            throw;
        } catch (const office::DocumentGone&) {
            throw WorkbookLost();
        } catch (const css::lang::DisposedException&) {
            throw WorkbookLost();
        } catch (const css::uno::RuntimeException& e) {
            if (!session->alive())
                throw WorkbookLost();
            throw HostError(officeFailure(e.Message));
        } catch (const css::uno::Exception& e) {
            throw HostError(officeFailure(e.Message));
        }
    }

    // Runs one operation. When the office or the workbook's window has gone
    // (Calc closed by the teacher, or crashed), the workbook is opened again
    // from its file, in a fresh office where the old one is gone, the teacher
    // is told once, and the operation is carried out there.
    template <class Body>
    auto call(Body&& body) {
        if (path.isEmpty())
            throw HostError(QStringLiteral("工作簿尚未打开。"));
        if (!reachable())
            reopen();
        try {
            return attempt(body);
        } catch (const WorkbookLost&) {
        }
        reopen();
        try {
            return attempt(body);
        } catch (const WorkbookLost&) {
            throw HostError(
                QStringLiteral("LibreOffice 中的工作簿“%1”重新打开后又关闭了，刚才的操作没有完成。")
                    .arg(QFileInfo(path).fileName()));
        }
    }

    void reopen() {
        dropDocument();
        try {
            load(path);
        } catch (const css::uno::Exception& e) {
            dropDocument();
            throw HostError(officeFailure(e.Message));
        }
        showMessage(nullptr,
                    QStringLiteral("LibreOffice Calc 中的工作簿“%1”已经关闭，本程序已从文件重新打开它。\n"
                                   "在 Calc 中做过、但没有保存的修改已经丢失。")
                        .arg(QFileInfo(path).fileName()),
                    kNoticeTitle);
    }

    void frontIfVisible(CalcDocument& doc) {
        if (mode == Mode::Visible)
            doc.bringToFront();
    }

    // Releasing an office object over a connection that is going away can
    // throw (the office's references may throw from destructors).
    void dropDocument() {
        try {
            document.reset();
        } catch (const css::uno::Exception&) {
            // The document is gone with the connection either way.
        }
    }

    // Closes the workbook without asking and ends the office.
    void end() {
        if (reachable()) {
            try {
                document->close();
            } catch (const css::uno::Exception&) {
                // Gone with the office.
            }
        }
        dropDocument();
        session.reset();
    }

    // Opens the file in the running office, or in a fresh one where none runs.
    void load(const QString& file) {
        if (!session || !session->alive()) {
            session.reset();
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
    d->path.clear();
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
    d->path = path;
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

// A workbook that has gone with its office leaves nothing to ask about, and
// is not opened again only to be closed.
bool LibreOfficeHost::quit() {
    auto ask = [this](CalcDocument& doc) {
        if (doc.isModified()) {
            const SaveAnswer answer = answerSaveQuestion();
            if (answer == SaveAnswer::Cancel)
                return false;
            if (answer == SaveAnswer::Save)
                doc.store();
            else
                doc.discardChanges();
        }
        return true;
    };
    try {
        if (d->reachable() && !d->attempt(ask))
            return false;
    } catch (const WorkbookLost&) {
        // Gone while asked.
    }
    d->end();
    d->path.clear();
    return true;
}

// A workbook gone with its office holds nothing that could still be saved.
bool LibreOfficeHost::hasUnsavedChanges() {
    if (!d->path.isEmpty() && !d->reachable())
        return false;
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
