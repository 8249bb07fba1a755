#pragma once

#include "workbook/cellref.h"

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

namespace velmora {

class WorkbookDocument;

// Where an address typed into the name box goes: "C12", "A1:C3",
// "各科成绩!P2", "'成绩 & 排名'!A1:B2" (a sheet name in quotes, '' for a
// quote). Without a sheet, the current one. HostError for an unknown sheet
// or an address that names no cell.
struct GoToTarget {
    int sheet = 0;
    CellRef from, to;
};
GoToTarget parseGoTo(const WorkbookDocument& document, const QString& typed, int currentSheet);

// Above the grid: the name box with the current cell's address (typing an
// address such as C12, 各科成绩!P2 or A1:C3 goes there) and the content box
// with the cell's content as typed, where the cell can be edited too:
// Enter stores, Alt+Enter starts a new line, Esc puts the content back.
class FormulaBar : public QWidget {
    Q_OBJECT
public:
    explicit FormulaBar(QWidget* parent = nullptr);

    // The current cell: its address and content as typed.
    void showCell(const QString& address, const QString& content);
    // The text being typed into the cell itself, shown as it grows.
    void followEditor(const QString& text);
    // Drops what was typed into the bar: its cell is no longer the current one.
    void discard();

Q_SIGNALS:
    void addressEntered(const QString& address);
    void contentEntered(const QString& content);
    // Enter or Esc ended the bar's part: the grid takes the keys again.
    void done();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void enterContent();

    QLineEdit* name_;
    QPlainTextEdit* content_;
    QString address_, shown_;
};

}  // namespace velmora
