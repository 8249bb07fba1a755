#include "common/rowbinding.h"

#include "common/plaintext.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

namespace velmora {

RowField RowField::of(const QString& sheet, const QString& column, QLineEdit& box,
                      const QString& prefix) {
    return {sheet, column, [&box, prefix] { return box.text().mid(prefix.size()); },
            [&box, prefix](const QString& text) { box.setText(prefix + text); }};
}

RowField RowField::of(const QString& sheet, const QString& column, QPlainTextEdit& box) {
    return {sheet, column, [&box] { return plainText(box); },
            [&box](const QString& text) { box.setPlainText(text); }};
}

RowField RowField::of(const QString& sheet, const QString& column, QLabel& label) {
    return {sheet, column, [&label] { return label.text(); },
            [&label](const QString& text) { label.setText(text); }};
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
    for (const RowField& field : fields_)
        StudentWorkbook::writeRaw(field.sheet, layout::address(field.column, row), field.text());
    loaded_ = number;
}

bool RowBinding::holdsUnseenText(int number) const {
    if (number == loaded_)
        return false;
    const QStringList texts = read(number);
    return std::any_of(texts.begin(), texts.end(), [](const QString& t) { return !t.isEmpty(); });
}

}  // namespace velmora
