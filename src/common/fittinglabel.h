#pragma once

#include <QString>

class QLabel;

namespace velmora {

// A label that shows a cell keeps the width its window gave it (its minimum
// width) and its one line, so that a long value never widens the window: a
// text too long for it is cut short with "…", and the whole text becomes its
// tooltip.
void showFitting(QLabel& label, const QString& text);
// The whole text such a label was given.
QString fullText(const QLabel& label);

}  // namespace velmora
