#pragma once

#include <QString>

class QPlainTextEdit;

namespace velmora {

// The text of a multi-line box exactly as typed or pasted, lines joined by LF.
// Unlike toPlainText(), no-break spaces stay what they are, so a comment
// loaded from its cell and stored again comes back unchanged.
QString plainText(const QPlainTextEdit& box);

}  // namespace velmora
