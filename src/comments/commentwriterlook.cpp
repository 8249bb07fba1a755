#include "comments/commentwriterlook.h"

#include "common/fonts.h"
#include "common/units.h"
#include "ui_commentwriterform.h"

namespace velmora::comments {

namespace {

struct Place {
    QWidget* control;
    double left, top, width, height;  // points, relative to the parent
};

void setTextColour(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    control->setPalette(palette);
}

}  // namespace

void applyCommentWriterLook(Ui::UserForm7& ui, QWidget& form) {
    form.setFixedSize(pt(426.75), pt(330));
    form.setFont(songFont(9));

    const Place places[] = {
        {ui.Label2, 6, 6, 42, 18},
        {ui.Label3, 54, 6, 96, 18},
        {ui.TextBox12, 156, 6, 42, 18},
        {ui.TextBox20, 228, 6, 60, 18},
        {ui.TextBox14, 318, 6, 60, 18},
        {ui.TextBox13, 18, 30, 264, 64.5},
        {ui.CommandButton6, 300, 30, 96, 24},
        {ui.CommandButton4, 300, 72, 96, 24},
        {ui.MultiPage1, 12, 96, 282, 102},
        {ui.CommandButton2, 306, 108, 96, 24},
        {ui.TextBox24, 342, 138, 24, 24},
        {ui.CommandButton5, 312, 162, 30, 18},
        {ui.CommandButton7, 360, 162, 30, 18},
        // 1.5 pt taller than designed: Qt's tab bar leaves the page 1.5 pt
        // shorter, and the page's lowest buttons reach 102 pt down.
        {ui.MultiPage3, 12, 198, 282, 121.5},
        {ui.Label1, 306, 210, 114, 66},
        {ui.Label9, 390, 300, 36, 24},
        // on the own-library page
        {ui.TextBox21, 12, 6, 204, 64.5},
        {ui.Label8, 228, 6, 48, 12},
        {ui.TextBox22, 240, 18, 18, 15},
        {ui.ComboBox1, 228, 36, 48, 15},
        {ui.CommandButton10, 222, 54, 24, 18},
        {ui.CommandButton11, 252, 54, 24, 18},
        {ui.CommandButton12, 6, 84, 72, 18},
        {ui.CommandButton13, 84, 84, 54, 18},
        {ui.CommandButton8, 156, 84, 48, 18},
        {ui.CommandButton9, 216, 84, 60, 18},
    };
    for (const Place& p : places) p.control->setGeometry(ptRect(p.left, p.top, p.width, p.height));

    ui.TextBox13->setFont(songFont(10.5));
    ui.TextBox20->setFont(songFont(12));
    ui.TextBox14->setFont(songFont(12));
    ui.Label2->setFont(songFont(12, true));
    ui.Label9->setFont(songFont(24, true));
    ui.CommandButton2->setFont(songFont(9, true));

    setTextColour(ui.Label2, Qt::cyan);
    setTextColour(ui.TextBox12, Qt::blue);
    setTextColour(ui.TextBox13, Qt::blue);
    setTextColour(ui.Label9, Qt::red);
    QPalette help = ui.Label9->palette();
    help.setColor(QPalette::Window, help.color(QPalette::ToolTipBase));
    ui.Label9->setPalette(help);
    ui.Label9->setAutoFillBackground(true);

    // "≤" and two ideographic spaces are wider than this 24 pt button;
    // aligned left, the sign stays in view and only blanks overflow.
    ui.CommandButton10->setStyleSheet(QStringLiteral("QPushButton { text-align: left; }"));

    // The identity display: locked, transparent, a single flat border.
    const QString identity = QStringLiteral(
        "QLineEdit { background: transparent; border: 1px solid black; color: #000080; }");
    ui.TextBox20->setStyleSheet(identity);
    ui.TextBox14->setStyleSheet(identity);
}

}  // namespace velmora::comments
