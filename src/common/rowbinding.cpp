#include "common/rowbinding.h"

#include "common/fittinglabel.h"
#include "common/plaintext.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

namespace velmora {

namespace {
RowField field(const QString& sheet, const QString& column, std::function<QString()> text,
               std::function<void(const QString&)> put) {
    auto shown = std::make_shared<QString>(text());
    return {sheet, column, std::move(text), std::move(put), std::move(shown)};
}
}  // namespace

RowField RowField::of(const QString& sheet, const QString& column, QLineEdit& box,
                      const QString& prefix) {
    return field(
        sheet, column, [&box, prefix] { return box.text().mid(prefix.size()); },
        [&box, prefix](const QString& text) { box.setText(prefix + text); });
}

RowField RowField::of(const QString& sheet, const QString& column, QPlainTextEdit& box) {
    return field(
        sheet, column, [&box] { return plainText(box); },
        [&box](const QString& text) { box.setPlainText(text); });
}

RowField RowField::of(const QString& sheet, const QString& column, QLabel& label) {
    return field(
        sheet, column, [&label] { return fullText(label); },
        [&label](const QString& text) { showFitting(label, text); });
}

void RowField::show(const QString& text) const {
    put(text);
    *shown = text;
}

bool RowField::edited() const {
    return !isNumberBox && text() != *shown;
}

RowBinding::RowBinding(QList<RowField> fields) : fields_(std::move(fields)) {}

QStringList RowBinding::read(int number) const {
    const int row = layout::rowOf(number);
    QStringList texts;
    for (const RowField& field : fields_)
        texts << StudentWorkbook::read(field.sheet, layout::address(field.column, row));
    return texts;
}

void RowBinding::load(int number) {
    const QStringList texts = read(number);
    for (qsizetype i = 0; i < fields_.size(); ++i) fields_[i].show(texts[i]);
    loaded_ = number;
}

void RowBinding::store(int number) {
    const int row = layout::rowOf(number);
    QStringList texts;
    for (const RowField& field : fields_) {
        texts << field.text();
        StudentWorkbook::writeRaw(field.sheet, layout::address(field.column, row), texts.last());
    }
    for (qsizetype i = 0; i < fields_.size(); ++i) *fields_[i].shown = texts[i];
    loaded_ = number;
}

void RowBinding::show(const QString& column, const QString& text) {
    for (const RowField& field : fields_)
        if (field.column == column)
            field.show(text);
}

bool RowBinding::edited() const {
    return std::any_of(fields_.begin(), fields_.end(), [](const RowField& f) { return f.edited(); });
}

bool RowBinding::holdsUnseenText(int number) const {
    if (number == loaded_)
        return false;
    const QStringList texts = read(number);
    return std::any_of(texts.begin(), texts.end(), [](const QString& t) { return !t.isEmpty(); });
}

}  // namespace velmora
