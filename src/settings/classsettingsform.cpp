#include "settings/classsettingsform.h"

#include "ui_classsettingsform.h"

#include "common/designerform.h"
#include "common/guard.h"
#include "common/messages.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <algorithm>

namespace velmora::settings {

using namespace velmora::layout;

namespace {
struct Binding {
    QLineEdit* box;
    QString cell;
};

// Every box with its cell, in the order they are written: C4 to C7, then each
// subject column's name (row 11) and full score (row 12).
QList<Binding> bindings(Ui::UserForm2& ui) {
    QList<Binding> out = {{ui.TextBox1, kSchoolCell},
                          {ui.TextBox18, kTermCell},
                          {ui.TextBox3, kClassCell},
                          {ui.TextBox19, kTeacherCell}};
    const QList<std::pair<QLineEdit*, QLineEdit*>> subjects = {
        {ui.TextBox7, ui.TextBox8},   {ui.TextBox5, ui.TextBox6},   {ui.TextBox9, ui.TextBox10},
        {ui.TextBox13, ui.TextBox14}, {ui.TextBox11, ui.TextBox17}, {ui.TextBox15, ui.TextBox16},
        {ui.TextBox20, ui.TextBox21}, {ui.TextBox22, ui.TextBox23}, {ui.TextBox24, ui.TextBox25},
        {ui.TextBox32, ui.TextBox33}, {ui.TextBox26, ui.TextBox27}, {ui.TextBox28, ui.TextBox29},
        {ui.TextBox30, ui.TextBox31}};
    const QStringList columns = subjectColumns();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        out.append({subjects[i].first, address(columns[i], kSubjectRow)});
        out.append({subjects[i].second, address(columns[i], kFullScoreRow)});
    }
    return out;
}
}  // namespace

ClassSettingsForm::ClassSettingsForm(QWidget* parent)
    : QWidget(parent), ui(setUpForm<Ui::UserForm2>(this)) {
    onClick(ui->CommandButton1, this, &ClassSettingsForm::storeSettings);
    connect(ui->CommandButton2, &QPushButton::clicked, this, &QWidget::close);
    // Settings that cannot be read are not written over with defaults: the
    // window says why and closes again.
    if (!guarded(this, [this] { showSettings(); }))
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

ClassSettingsForm::~ClassSettingsForm() = default;

// The boxes show the thirty cells as they stand, an empty cell as an empty
// box; a sheet with none of them set yet shows the design-time defaults.
void ClassSettingsForm::showSettings() {
    const QList<Binding> boxes = bindings(*ui);
    QStringList cells;
    for (const Binding& b : boxes) cells << StudentWorkbook::read(kSettingsSheet, b.cell);
    shown_ = cells;
    if (std::all_of(cells.begin(), cells.end(), [](const QString& c) { return c.isEmpty(); }))
        return;
    for (qsizetype i = 0; i < boxes.size(); ++i) boxes[i].box->setText(cells[i]);
}

// "确定": each box whose text differs from the cell it showed becomes that
// cell's value, as if typed there; a cell the teacher left alone keeps what it
// holds (changed elsewhere meanwhile, or a number shown as its text). A
// failure on the way leaves the window open, so nothing typed is lost.
void ClassSettingsForm::storeSettings() {
    const QList<Binding> boxes = bindings(*ui);
    if (shown_.size() != boxes.size())
        return;  // not read: closing
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        const QString text = boxes[i].box->text();
        if (text != shown_.value(i)) {
            StudentWorkbook::write(kSettingsSheet, boxes[i].cell, text);
            shown_[i] = text;
        }
    }
    showMessage(this, QStringLiteral("设置成功。"), kNoticeTitle);
    close();
}

}  // namespace velmora::settings
