#include "common/plaintext.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace velmora {

QString plainText(const QPlainTextEdit& box) {
    QString text = box.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');  // Shift+Enter
    return text;
}

}  // namespace velmora
