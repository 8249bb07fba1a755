#include "app/sessionend.h"

#include "app/endsignals.h"
#include "common/savequestion.h"
#include "saver/screenlock.h"
#include "workbook/connection.h"
#include "workbook/hosterror.h"
#include "workbook/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>

namespace velmora {

namespace {

void tell(const QString& text) {
    std::fputs(QStringLiteral("velmora：%1\n").arg(text).toUtf8().constData(), stderr);
}

bool hasUnsavedChanges() {
    try {
        return StudentWorkbook::ExcelApp().hasUnsavedChanges();
    } catch (const HostError&) {
        return false;  // the host is gone, and what it held with it
    }
}

// The unsaved changes to the conflict copy; false when that failed too.
bool keepInCopy(const QDateTime& now) {
    try {
        const QString copy = StudentWorkbook::keepUnsavedInCopy(now);
        if (!copy.isEmpty())
            tell(QStringLiteral("未保存的修改已存入“%1”，工作簿文件没有改动。")
                     .arg(QDir::toNativeSeparators(copy)));
        return true;
    } catch (const HostError& e) {
        tell(QStringLiteral("未保存的修改没能存入副本，已丢失：%1").arg(e.message()));
        return false;
    }
}

[[noreturn]] void endProcess(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

}  // namespace

int endRun(const std::function<bool()>& mayAsk, const std::function<SaveAnswer()>& askToSave,
           const QDateTime& now) {
    if (!StudentWorkbook::isOpen())
        return 0;
    bool kept = true;
    if (hasUnsavedChanges()) {
        if (!saver::ScreenLock::engaged() && mayAsk()) {
            const SaveAnswer answer = askToSave();
            if (answer == SaveAnswer::Save) {
                try {
                    StudentWorkbook::save();
                } catch (const HostError& e) {
                    tell(e.message());
                    kept = keepInCopy(now);
                }
            } else if (answer == SaveAnswer::Cancel) {
                kept = keepInCopy(now);
            }
        } else {
            kept = keepInCopy(now);
        }
    }
    StudentWorkbook::abandon();
    return kept ? 0 : 1;
}

void endRunOnSignalsAndLogout(QGuiApplication& app) {
    const auto question = [] {
        return askToSaveChanges(nullptr, QFileInfo(paths::workbookPath()).fileName());
    };
    watchEndSignals(&app, [](int) {
        endProcess(endRun([] { return false; }, {}, QDateTime::currentDateTime()));
    });
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &app,
        [question](QSessionManager& manager) {
            const int status = endRun([&manager] { return manager.allowsInteraction(); },
                                      question, QDateTime::currentDateTime());
            manager.release();
            endProcess(status);
        },
        Qt::DirectConnection);
}

}  // namespace velmora
