#include "workbook/embedded/celleditor.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QToolTip>

namespace velmora {

namespace {
// Set on an editor opened by typing over its cell: arrows end the edit.
constexpr const char* kTyping = "velmoraTyping";
}  // namespace

QWidget* CellEditor::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                  const QModelIndex&) const {
    auto* editor = new QPlainTextEdit(parent);
    editor->setObjectName(QStringLiteral("cellEditor"));
    editor->setFont(option.font);
    editor->setFrameShape(QFrame::NoFrame);
    editor->setTabChangesFocus(true);
    editor->document()->setDocumentMargin(1);
    auto* self = const_cast<CellEditor*>(this);  // createEditor is const; the signal is not
    connect(editor, &QPlainTextEdit::textChanged, self,
            [self, editor] { Q_EMIT self->textEdited(editor->toPlainText()); });
    return editor;
}

void CellEditor::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QPlainTextEdit*>(editor);
    box->setPlainText(replaceNext_ ? QString() : index.data(Qt::EditRole).toString());
    box->setProperty(kTyping, replaceNext_);
    replaceNext_ = false;
    box->moveCursor(QTextCursor::End);
}

void CellEditor::setModelData(QWidget* editor, QAbstractItemModel* model,
                              const QModelIndex& index) const {
    model->setData(index, static_cast<QPlainTextEdit*>(editor)->toPlainText(), Qt::EditRole);
}

// A cell of several lines gets room for them while it is edited.
void CellEditor::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    QRect r = option.rect;
    const int lines = int(index.data(Qt::EditRole).toString().count(u'\n')) + 1;
    const int wanted = std::min(lines, 8) * option.fontMetrics.lineSpacing() + 6;
    r.setHeight(std::max(r.height(), wanted));
    r.setWidth(std::max(r.width(), 120));
    editor->setGeometry(r);
}

bool CellEditor::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                           const QStyleOptionViewItem& option, const QModelIndex& index) {
    const QString text = index.data(Qt::ToolTipRole).toString();
    const QRect need = option.fontMetrics.boundingRect(option.rect, Qt::TextWordWrap, text);
    if (event->type() == QEvent::ToolTip && need.width() <= option.rect.width() &&
        need.height() <= option.rect.height()) {
        QToolTip::hideText();
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

bool CellEditor::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QPlainTextEdit*>(object);
    if (!editor || event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    Move move = Move::None;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (key->modifiers() & Qt::AltModifier) {
                editor->insertPlainText(QStringLiteral("\n"));
                return true;
            }
            move = shift ? Move::Up : Move::Down;
            break;
        case Qt::Key_Tab:
            move = Move::Right;
            break;
        case Qt::Key_Backtab:
            move = Move::Left;
            break;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (!editor->property(kTyping).toBool() || key->modifiers() != Qt::NoModifier)
                return QStyledItemDelegate::eventFilter(object, event);
            move = key->key() == Qt::Key_Up     ? Move::Up
                   : key->key() == Qt::Key_Down ? Move::Down
                   : key->key() == Qt::Key_Left ? Move::Left
                                                : Move::Right;
            break;
        default:
            return QStyledItemDelegate::eventFilter(object, event);
    }
    Q_EMIT commitData(editor);
    Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
    Q_EMIT committed(move);
    return true;
}

}  // namespace velmora
