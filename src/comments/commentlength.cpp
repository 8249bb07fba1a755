#include "comments/commentlength.h"

#include <QApplication>
#include <QLabel>
#include <QTextBoundaryFinder>

namespace velmora::comments {

namespace {
const QColor kWarningColour(0xc0, 0x30, 0x00);
constexpr int kShortestComment = 60;
constexpr int kLongestComment = 300;
}  // namespace

int commentLength(const QString& text) {
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    qsizetype start = 0;
    for (qsizetype end = clusters.toNextBoundary(); end != -1; end = clusters.toNextBoundary()) {
        // A cluster starts with its base character: a blank or a line break
        // (LF, CR, U+2029, U+3000 and the like) is not counted.
        if (!text.at(start).isSpace())
            ++count;
        start = end;
    }
    return count;
}

void showCommentLength(QLabel& label, const QString& comment) {
    const int length = commentLength(comment);
    label.setText(QStringLiteral("已写 %1 字").arg(length));
    const bool warn = length < kShortestComment || length > kLongestComment;
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText,
                     warn ? kWarningColour : QApplication::palette(&label).color(QPalette::WindowText));
    label.setPalette(palette);
}

}  // namespace velmora::comments
