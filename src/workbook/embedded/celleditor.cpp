#include "workbook/embedded/celleditor.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QToolTip>

namespace velmora {

QWidget* CellEditor::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                  const QModelIndex&) const {
    auto* editor = new QPlainTextEdit(parent);
    editor->setObjectName(QStringLiteral("cellEditor"));
    editor->setFont(option.font);
    editor->setFrameShape(QFrame::NoFrame);
    editor->setTabChangesFocus(true);
    editor->document()->setDocumentMargin(1);
    return editor;
}

void CellEditor::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QPlainTextEdit*>(editor);
    box->setPlainText(replaceNext_ ? QString() : index.data(Qt::EditRole).toString());
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
    if (editor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::AltModifier) {
                editor->insertPlainText(QStringLiteral("\n"));
            } else {
                Q_EMIT commitData(editor);
                Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
                Q_EMIT enterPressed();
            }
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace velmora
