#include "comments/librarytexts.h"

#include <QFile>
#include <mutex>

// The texts are compiled into this static library; a static library's resources
// must be registered by hand before the first lookup.
static void registerCommentResources() {
    Q_INIT_RESOURCE(comments);
}

namespace velmora::comments {

namespace {

struct LibraryBox {
    const char* name;
    const char* file;
};

// Page order: the nine topic pages, then the three grade pages.
constexpr LibraryBox kBoxes[] = {
    {"TextBox10", "overall.txt"}, {"TextBox9", "inclass.txt"},  {"TextBox8", "homework.txt"},
    {"TextBox7", "study.txt"},    {"TextBox2", "duties.txt"},   {"TextBox3", "social.txt"},
    {"TextBox4", "talents.txt"},  {"TextBox5", "problems.txt"}, {"TextBox6", "hopes.txt"},
    {"TextBox17", "top.txt"},     {"TextBox18", "average.txt"}, {"TextBox19", "behind.txt"},
};

}  // namespace

QStringList libraryBoxNames() {
    QStringList names;
    for (const LibraryBox& box : kBoxes) {
        names << QString::fromLatin1(box.name);
    }
    return names;
}

QString libraryText(const QString& boxName) {
    static std::once_flag registered;
    std::call_once(registered, registerCommentResources);
    for (const LibraryBox& box : kBoxes) {
        if (boxName != QLatin1String(box.name)) {
            continue;
        }
        QFile file(QStringLiteral(":/comments/") + QLatin1String(box.file));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        QString text = QString::fromUtf8(file.readAll());
        // The file ends its last line with LF; in the box, lines are only
        // separated, so the final terminator is not part of the text.
        if (text.endsWith(QLatin1Char('\n'))) {
            text.chop(1);
        }
        return text;
    }
    return {};
}

}  // namespace velmora::comments
