#include "common/fittinglabel.h"

#include <QLabel>

namespace velmora {

// Several lines are shown on one, so that the label keeps its height too.
void showFitting(QLabel& label, const QString& text) {
    const int room = label.minimumWidth() - 2 * (label.frameWidth() + label.margin());
    QString oneLine = text;
    oneLine.replace(u'\n', u' ');
    const QString shown =
        room > 0 ? label.fontMetrics().elidedText(oneLine, Qt::ElideRight, room) : oneLine;
    label.setTextFormat(Qt::PlainText);
    label.setText(shown);
    label.setToolTip(shown == text ? QString() : text);
}

QString fullText(const QLabel& label) {
    return label.toolTip().isEmpty() ? label.text() : label.toolTip();
}

}  // namespace velmora
