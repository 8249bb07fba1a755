#include "workbook/embedded/findbar.h"

#include "workbook/embedded/workbookdocument.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora {

namespace {

// The cells of a sheet holding the text, in reading order.
QList<CellRef> matches(const WorkbookDocument& document, int sheet, const QString& text,
                       const std::function<QString(int, CellRef)>& shown) {
    QList<CellRef> found;
    document.book().forEachCell(sheet, [&](CellRef ref, const CellValue& v) {
        if (v.toText().contains(text, Qt::CaseInsensitive) ||
            (v.kind == CellValue::Kind::Number &&
             shown(sheet, ref).contains(text, Qt::CaseInsensitive)))
            found << ref;
    });
    return found;
}

}  // namespace

std::optional<FoundCell> findCell(const WorkbookDocument& document, const QString& text,
                                  FoundCell from, bool wholeWorkbook, bool forward,
                                  const std::function<QString(int, CellRef)>& shown) {
    if (text.isEmpty())
        return std::nullopt;
    const int sheets = int(document.sheetNames().size());
    const int steps = wholeWorkbook ? sheets : 1;
    for (int step = 0; step <= steps; ++step) {
        const int sheet = wholeWorkbook
                              ? (from.sheet + (forward ? step : sheets - step) % sheets) % sheets
                              : from.sheet;
        QList<CellRef> found = matches(document, sheet, text, shown);
        if (!forward)
            std::reverse(found.begin(), found.end());
        for (const CellRef& ref : found) {
            // In from's own sheet: first only the cells past from, at the
            // end of the round those up to it.
            const bool past = forward ? ref > from.cell : ref < from.cell;
            if (step == 0 && sheet == from.sheet && !past)
                continue;
            if (step == steps && sheet == from.sheet && past)
                continue;
            return FoundCell{sheet, ref};
        }
    }
    return std::nullopt;
}

FindBar::FindBar(QWidget* parent)
    : QWidget(parent),
      text_(new QLineEdit(this)),
      workbook_(new QCheckBox(QStringLiteral("整个工作簿"), this)),
      status_(new QLabel(this)) {
    setObjectName(QStringLiteral("findBar"));
    text_->setObjectName(QStringLiteral("findText"));
    text_->setPlaceholderText(QStringLiteral("要查找的内容"));
    workbook_->setObjectName(QStringLiteral("findInWorkbook"));
    status_->setObjectName(QStringLiteral("findStatus"));
    auto* next = new QPushButton(QStringLiteral("查找下一个"), this);
    next->setObjectName(QStringLiteral("findNext"));
    auto* previous = new QPushButton(QStringLiteral("查找上一个"), this);
    previous->setObjectName(QStringLiteral("findPrevious"));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("findClose"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("查找："), this));
    layout->addWidget(text_, 1);
    layout->addWidget(workbook_);
    layout->addWidget(next);
    layout->addWidget(previous);
    layout->addWidget(status_);
    layout->addWidget(close);
    connect(next, &QPushButton::clicked, this, [this] { request(true); });
    connect(previous, &QPushButton::clicked, this, [this] { request(false); });
    connect(close, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT closed();
    });
    text_->installEventFilter(this);
    hide();
}

void FindBar::open() {
    show();
    text_->setFocus();
    text_->selectAll();
}

void FindBar::report(const QString& text) {
    status_->setText(text);
}

void FindBar::request(bool forward) {
    Q_EMIT findRequested(text_->text(), workbook_->isChecked(), forward);
}

bool FindBar::eventFilter(QObject* object, QEvent* event) {
    if (object == text_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            request(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            hide();
            Q_EMIT closed();
            return true;
        }
    }
    return QWidget::eventFilter(object, event);
}

}  // namespace velmora
