#pragma once

#include "workbook/cellvalue.h"
#include "workbook/saveanswer.h"

#include <QString>
#include <functional>

namespace velmora {

// The spreadsheet program that holds the class workbook open for the whole
// run. Windows reach it through the connection (connection.h), one cell per
// call, the sheet looked up by its exact name every time. Every operation
// reports failure by throwing HostError.
class SpreadsheetHost {
public:
    virtual ~SpreadsheetHost() = default;

    // Loads the workbook file: missing, unreadable, damaged, not a workbook or
    // locked by another program are errors.
    virtual void open(const QString& path) = 0;
    // The window with the workbook is visible.
    virtual void show() = 0;
    // The cell's current value; an unknown sheet or a bad address is an error.
    virtual CellValue read(const QString& sheet, const QString& address) = 0;
    // Stores the text as a text cell; the empty text empties the cell.
    virtual void writeRaw(const QString& sheet, const QString& address, const QString& text) = 0;
    // Stores the text as a person typing it would: a plain decimal number
    // becomes a number, any other text a text cell, the empty text clears.
    virtual void write(const QString& sheet, const QString& address, const QString& text) = 0;
    // Makes the sheet the active one in the visible window, brought to the front.
    virtual void select(const QString& sheet) = 0;
    // The whole workbook reaches its file; a failed save leaves the file as it was.
    virtual void save() = 0;
    // Ends the host. Unsaved changes are not dropped silently: the host asks,
    // and 取消 keeps it running with everything as it was. True when the host
    // has ended and the program may end.
    virtual bool quit() = 0;
    // Whether the workbook holds changes that its file does not have yet.
    virtual bool hasUnsavedChanges() = 0;
    // Writes the workbook as it stands, unsaved changes included, to a new
    // file at path; the workbook file, and what counts as unsaved, stay as
    // they are.
    virtual void storeCopy(const QString& path) = 0;
    // Lets go of the workbook at once, as the process is about to end:
    // nothing is asked or saved and no window is touched (one of the host's
    // dialogs may be open below the caller); what would outlive the process,
    // the lock and the office, ends.
    virtual void abandon() = 0;

    // How quit() asks about unsaved changes: 保存, 不保存 or 取消. Each host
    // asks with a dialog until told otherwise; tests answer without one.
    using SaveQuestion = std::function<SaveAnswer()>;
    void setSaveQuestion(SaveQuestion question) { saveQuestion_ = std::move(question); }

protected:
    // The answer to the question; without a question, nothing is dropped.
    SaveAnswer answerSaveQuestion() const {
        return saveQuestion_ ? saveQuestion_() : SaveAnswer::Save;
    }

private:
    SaveQuestion saveQuestion_;
};

}  // namespace velmora
