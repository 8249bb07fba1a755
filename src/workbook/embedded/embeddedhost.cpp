#include "workbook/embedded/embeddedhost.h"

#include "common/savequestion.h"
#include "workbook/atomicfile.h"
#include "workbook/backups.h"
#include "workbook/embedded/changeguard.h"
#include "workbook/embedded/sheetwindow.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/filechecks.h"
#include "workbook/hosterror.h"
#include "workbook/workbooklock.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace velmora {

struct EmbeddedHost::Impl {
    QString path;
    std::unique_ptr<WorkbookLock> lock;
    std::unique_ptr<WorkbookDocument> document;
    ChangeGuard guard;
    QPointer<SheetWindow> window;

    WorkbookDocument& open() {
        if (!document)
            throw HostError(QStringLiteral("工作簿尚未打开。"));
        return *document;
    }

    SheetWindow& sheetWindow(EmbeddedHost* host) {
        if (!window) {
            window = new SheetWindow(open(), QFileInfo(path).fileName(), [host] { host->save(); });
            window->setBackups(path, {[host] { return host->hasUnsavedChanges(); },
                                      [host](const QString& backup, bool saveFirst) {
                                          return host->restoreBackup(backup, saveFirst);
                                      }});
        }
        return *window;
    }

    QByteArray bytes() {
        try {
            return open().book().toBytes();
        } catch (const xls::XlsError& e) {
            throw HostError(
                QStringLiteral("无法保存工作簿：%1\n原来的文件没有改动。").arg(e.message()));
        }
    }

    // Ends the open workbook: window, document, lock, in that order. A window
    // left after the application object is gone is not touched any more.
    void close() {
        if (window && QApplication::instance())
            delete window.data();
        document.reset();
        lock.reset();
    }
};

EmbeddedHost::EmbeddedHost() : d(std::make_unique<Impl>()) {
    setSaveQuestion([this] { return askToSaveChanges(d->window, QFileInfo(d->path).fileName()); });
}

EmbeddedHost::~EmbeddedHost() {
    d->close();
}

void EmbeddedHost::open(const QString& path) {
    d->close();
    requireWorkbookFile(path);
    auto lock = std::make_unique<WorkbookLock>(path);
    const QByteArray bytes = readWorkbookFile(path);
    const QString name = QDir::toNativeSeparators(path);
    try {
        xls::XlsWorkbook book = xls::XlsWorkbook::fromBytes(bytes);
        // Files written by other programs (or by velmora-xls set) may carry
        // stale results, or none: every formula is computed anew.
        book.recalculate();
        d->document = std::make_unique<WorkbookDocument>(std::move(book));
    } catch (const xls::XlsError& e) {
        throw HostError(QStringLiteral("工作簿文件“%1”无法打开：%2").arg(name, e.message()));
    }
    d->guard = ChangeGuard();
    d->guard.remember(bytes);
    d->lock = std::move(lock);
    d->path = path;
}

void EmbeddedHost::show() {
    d->sheetWindow(this).present();
}

CellValue EmbeddedHost::read(const QString& sheet, const QString& address) {
    WorkbookDocument& doc = d->open();
    return doc.read(doc.sheet(sheet), WorkbookDocument::cell(address));
}

void EmbeddedHost::writeRaw(const QString& sheet, const QString& address, const QString& text) {
    WorkbookDocument& doc = d->open();
    doc.store(doc.sheet(sheet), WorkbookDocument::cell(address),
              text.isEmpty() ? CellValue() : CellValue::makeText(text));
}

void EmbeddedHost::write(const QString& sheet, const QString& address, const QString& text) {
    WorkbookDocument& doc = d->open();
    doc.store(doc.sheet(sheet), WorkbookDocument::cell(address), CellValue::typed(text));
}

void EmbeddedHost::select(const QString& sheet) {
    const int index = d->open().sheet(sheet);
    SheetWindow& window = d->sheetWindow(this);
    window.showSheet(index);
    window.present();
}

void EmbeddedHost::save() {
    WorkbookDocument& doc = d->open();
    const QByteArray bytes = d->bytes();
    backups::beforeSave(d->path);
    d->guard.save(d->path, bytes);
    doc.setSaved();
}

QString EmbeddedHost::restoreBackup(const QString& backup, bool saveFirst) {
    if (saveFirst && hasUnsavedChanges())
        save();
    const QString kept = backups::restore(d->path, backup);
    open(QString(d->path));  // a copy: open() sets the path it is given
    show();
    return kept;
}

bool EmbeddedHost::quit() {
    if (hasUnsavedChanges()) {
        const SaveAnswer answer = answerSaveQuestion();
        if (answer == SaveAnswer::Cancel)
            return false;
        if (answer == SaveAnswer::Save)
            save();
    }
    d->close();
    return true;
}

bool EmbeddedHost::hasUnsavedChanges() {
    return d->document && d->document->isModified();
}

void EmbeddedHost::storeCopy(const QString& path) {
    writeFileAtomically(path, d->bytes());
}

// The window and the document go with the process.
void EmbeddedHost::abandon() {
    d->lock.reset();
}

}  // namespace velmora
