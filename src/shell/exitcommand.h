#pragma once

class QWidget;

namespace velmora {

// 退出: windows holding text not yet stored ask about it (closingquestion.h),
// the spreadsheet host quits (it asks about unsaved changes), the menu holder
// and the launcher are unloaded and the program ends. 取消 to either question
// keeps the program running.
//
// When the host fails to quit (a save it was asked for did not succeed, or it
// has gone away), the teacher is told and the program keeps running with the
// workbook still open, so that nothing unsaved is lost unannounced. Should
// the next 退出 fail again, the program ends anyway: the teacher can always quit.
void exitProgram(QWidget* parent);

}  // namespace velmora
