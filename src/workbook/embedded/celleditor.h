#pragma once

#include <QStyledItemDelegate>

namespace velmora {

// Edits a cell as spreadsheet programs do: Enter stores the text and moves
// down (Shift+Enter up), Tab right (Shift+Tab left), Alt+Enter starts a new
// line inside the cell, Esc drops the edit. An edit started by typing over
// a cell also ends with an arrow key, moving that way; one started with F2
// or a double click keeps the arrows for the text. Cell texts may hold
// several lines, so the editor is a plain text box (a line box would join
// them). A text that its cell cannot show whole is shown whole as a tip
// when the pointer rests on it.
class CellEditor : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    enum class Move { None, Down, Up, Right, Left };

    // The next edit starts from an empty cell: typing over a cell replaces
    // its text, as in spreadsheet programs (F2 or a double click keeps it).
    void replaceNextEdit(bool replace) { replaceNext_ = replace; }
    bool replacesNextEdit() const { return replaceNext_; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

Q_SIGNALS:
    // An edit was stored by a key that also moves the current cell.
    void committed(CellEditor::Move move);
    // The text in the open editor, as it is typed (the formula bar follows it).
    void textEdited(const QString& text);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    mutable bool replaceNext_ = false;
};

}  // namespace velmora
