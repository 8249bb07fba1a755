#include "workbook/embedded/formulabar.h"

#include "workbook/embedded/workbookdocument.h"
#include "workbook/hosterror.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace velmora {

GoToTarget parseGoTo(const WorkbookDocument& document, const QString& typed, int currentSheet) {
    GoToTarget target{currentSheet, {}, {}};
    QString address = typed.trimmed();
    const qsizetype bang = address.lastIndexOf(u'!');
    if (bang >= 0) {
        QString name = address.left(bang);
        if (name.size() >= 2 && name.startsWith(u'\'') && name.endsWith(u'\''))
            name = name.mid(1, name.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
        target.sheet = document.sheet(name);
        address = address.mid(bang + 1);
    }
    const QStringList ends = address.remove(u'$').split(u':');
    const std::optional<CellRef> from = parseA1(ends.value(0));
    const std::optional<CellRef> to = ends.size() == 2 ? parseA1(ends[1]) : from;
    if (!from || !to || ends.size() > 2)
        throw HostError(
            QStringLiteral("“%1”不是有效的单元格地址。请输入如 C12、A1:C3 或 各科成绩!P2 的地址。")
                .arg(typed.trimmed()));
    target.from = {std::min(from->row, to->row), std::min(from->column, to->column)};
    target.to = {std::max(from->row, to->row), std::max(from->column, to->column)};
    return target;
}

FormulaBar::FormulaBar(QWidget* parent)
    : QWidget(parent), name_(new QLineEdit(this)), content_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("formulaBar"));
    name_->setObjectName(QStringLiteral("nameBox"));
    name_->setFixedWidth(fontMetrics().horizontalAdvance(u'M') * 12);
    name_->setToolTip(
        QStringLiteral("名称框：输入单元格地址（如 C12 或 各科成绩!P2）后按回车跳到那里"));
    content_->setObjectName(QStringLiteral("contentBox"));
    content_->setTabChangesFocus(true);
    content_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // One line high, like the name box; a text of several lines scrolls in it.
    content_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    content_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    content_->setFixedHeight(name_->sizeHint().height());
    content_->setToolTip(QStringLiteral("编辑栏：单元格的内容，可在这里修改，回车确认，Esc 取消"));
    auto* fx = new QLabel(QStringLiteral("fx"), this);
    fx->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(name_);
    layout->addWidget(fx);
    layout->addWidget(content_, 1);
    connect(name_, &QLineEdit::returnPressed, this, [this] {
        const QString typed = name_->text().trimmed();
        name_->setText(address_);
        Q_EMIT addressEntered(typed);
    });
    content_->installEventFilter(this);
    name_->installEventFilter(this);
}

void FormulaBar::showCell(const QString& address, const QString& content) {
    address_ = address;
    shown_ = content;
    if (!name_->hasFocus() || !name_->isModified())
        name_->setText(address);
    if (!content_->hasFocus() && content_->toPlainText() != content)
        content_->setPlainText(content);
}

void FormulaBar::discard() {
    content_->setPlainText(shown_);
    name_->setText(address_);
}

void FormulaBar::followEditor(const QString& text) {
    if (!content_->hasFocus())
        content_->setPlainText(text);
}

// Stores what the bar holds, once: the bar then shows it as the cell's
// content until the window shows the cell again.
void FormulaBar::enterContent() {
    const QString text = content_->toPlainText();
    if (text != std::exchange(shown_, text))
        Q_EMIT contentEntered(text);
}

bool FormulaBar::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (object == content_ && enter && (key->modifiers() & Qt::AltModifier)) {
            content_->insertPlainText(QStringLiteral("\n"));
            return true;
        }
        if (object == content_ && enter) {
            const QString text = content_->toPlainText();
            const bool changed = text != std::exchange(shown_, text);
            Q_EMIT done();
            if (changed)
                Q_EMIT contentEntered(text);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            discard();
            Q_EMIT done();
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && object == content_) {
        // Clicking elsewhere keeps what was typed in the bar, as in
        // spreadsheet programs; Esc (which restores the content first) not.
        enterContent();
    }
    return QWidget::eventFilter(object, event);
}

}  // namespace velmora
