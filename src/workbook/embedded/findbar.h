#pragma once

#include "workbook/cellref.h"

#include <QWidget>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace velmora {

class WorkbookDocument;

struct FoundCell {
    int sheet = 0;
    CellRef cell;
};

// The next cell after from (or before it, backwards) whose text contains
// the wanted text, ignoring case, in reading order: through the rest of the
// sheet, then, for the whole workbook, the sheets after it, then from the
// sheet's start round to from itself. shown gives a number's text as the
// grid shows it (a date, a percentage), which counts as well as its plain
// text.
std::optional<FoundCell> findCell(const WorkbookDocument& document, const QString& text,
                                  FoundCell from, bool wholeWorkbook, bool forward,
                                  const std::function<QString(int, CellRef)>& shown);

// Ctrl+F: the find bar below the grid. Enter finds the next cell, Shift+Enter
// the one before, Esc closes the bar.
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    void open();
    void report(const QString& text);

Q_SIGNALS:
    void findRequested(const QString& text, bool wholeWorkbook, bool forward);
    void closed();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void request(bool forward);

    QLineEdit* text_;
    QCheckBox* workbook_;
    QLabel* status_;
};

}  // namespace velmora
