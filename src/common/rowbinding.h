#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace velmora {

// A control bound to one column of a numbered row: it shows the cell's text
// and gives the text to store there. A box may show a label before the
// cell's text ("学号:" and a roll number); the label is not the cell's.
struct RowField {
    QString sheet;
    QString column;
    std::function<QString()> text;
    std::function<void(const QString&)> put;
    // The text the control was given last, by a load, a store or the window
    // itself (at first its design-time text). Copies of a field share it, so
    // every binding that holds the control knows what it shows.
    std::shared_ptr<QString> shown;
    // A number box shows where the row is, not what it holds: a number typed
    // there is no edit of the row.
    bool isNumberBox = false;

    void show(const QString& text) const;
    // The control holds text that differs from what it was given.
    bool edited() const;

    static RowField of(const QString& sheet, const QString& column, QLineEdit& box,
                       const QString& prefix = {});
    static RowField of(const QString& sheet, const QString& column, QPlainTextEdit& box);
    static RowField of(const QString& sheet, const QString& column, QLabel& label);
};

// The fields a window loads from a student's or entry's row and stores back,
// each cell read or written through the connection by itself. A load reads
// every cell before any control changes, so a refused read leaves the window
// as it was (and a later store cannot mix two rows); a store writes every
// field before the caller saves.
class RowBinding {
public:
    RowBinding() = default;
    explicit RowBinding(QList<RowField> fields);

    void load(int number);
    void store(int number);

    // Whether a control holds text that differs from what was loaded or
    // stored (typed and not stored yet).
    bool edited() const;
    // The window gives the control of this column a text of its own.
    void show(const QString& column, const QString& text);

    // Whether storing into this row would write over text the controls have
    // not shown: it is another row than the one they were loaded from (or
    // last stored into), and one of its cells holds text (read here).
    bool holdsUnseenText(int number) const;

private:
    QStringList read(int number) const;

    QList<RowField> fields_;
    // The row the controls were last loaded from or stored into.
    std::optional<int> loaded_;
};

}  // namespace velmora
