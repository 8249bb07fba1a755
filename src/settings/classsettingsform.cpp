#include "settings/classsettingsform.h"

#include "ui_classsettingsform.h"

#include "common/designerform.h"
#include "common/guard.h"
#include "common/messages.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

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
}

ClassSettingsForm::~ClassSettingsForm() = default;

// "确定": each box's text becomes its cell's value, as if typed there. A
// failure on the way leaves the window open, so nothing typed is lost.
void ClassSettingsForm::storeSettings() {
    for (const Binding& b : bindings(*ui))
        StudentWorkbook::write(kSettingsSheet, b.cell, b.box->text());
    showMessage(this, QStringLiteral("设置成功。"), kNoticeTitle);
    close();
}

}  // namespace velmora::settings
