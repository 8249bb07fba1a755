#pragma once

#include "workbook/saveanswer.h"

#include <QDateTime>
#include <functional>

class QGuiApplication;

namespace velmora {

// How the run ends when something other than 退出 ends it: a signal or the
// end of the desktop session. Nothing unsaved is lost:
// - where the teacher may be asked (the session manager allows interaction),
//   the question is the one of 退出: 保存, 不保存 or 取消; a save that fails,
//   and 取消 (the run cannot go on, and nothing is to be dropped), go to the
//   conflict copy instead;
// - otherwise (a signal, a session that allows no interaction) the unsaved
//   changes go to the conflict copy beside the workbook
//   ("Velmoravm2.1 (未保存的修改 yyyy-MM-dd HHmm).xls") and the workbook file
//   is not touched.
// While the screen saver holds the screen nobody is asked: whoever ends the
// session is not known to be the teacher, and a question would sit under the
// lock. The saver never holds a session end up; it ends with the program.
//
// mayAsk is called only when there are unsaved changes; askToSave gives the
// teacher's answer. Returns the exit status for the process: 0, or 1 when the
// unsaved changes could be kept nowhere. The host has been let go of
// (StudentWorkbook::abandon), so the caller ends the process at once.
int endRun(const std::function<bool()>& mayAsk, const std::function<SaveAnswer()>& askToSave,
           const QDateTime& now);

// SIGTERM, SIGHUP, SIGINT and the session's end (the commit-data request)
// run endRun and end the process with its status, without going back to
// whatever window code was waiting below (an open dialog's caller).
void endRunOnSignalsAndLogout(QGuiApplication& app);

}  // namespace velmora
