#include "comments/librarysearch.h"

#include "comments/classcomments.h"
#include "comments/librarytexts.h"
#include "comments/sentences.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

#include <QRegularExpression>
#include <QSet>

namespace velmora::comments {

using namespace velmora::layout;

const QStringList& builtInSentences() {
    static const QStringList sentences = [] {
        // "    12 你的勤奋……": the number of a paragraph on the grade pages.
        static const QRegularExpression paragraphNumber(QStringLiteral("^\\s*\\d+\\s+"));
        QStringList all;
        for (const QString& box : libraryBoxNames())
            for (QString line : libraryText(box).split(u'\n'))
                all << sentencesOf(line.remove(paragraphNumber));
        return all;
    }();
    return sentences;
}

QStringList readOwnSentences() {
    QStringList sentences;
    readRows([&](int number) {
        bool any = false;
        for (const QString& column : {kLibraryGoodColumn, kLibraryFairColumn, kLibraryPoorColumn}) {
            const QString entry = StudentWorkbook::read(kListsSheet, address(column, rowOf(number)));
            sentences << sentencesOf(entry);
            any = any || !entry.isEmpty();
        }
        return any;
    });
    return sentences;
}

QStringList matchingSentences(const QStringList& sentences, const QString& query) {
    const QStringList words = query.split(QRegularExpression(QStringLiteral("\\s+")),
                                          Qt::SkipEmptyParts);
    QStringList found;
    if (words.isEmpty())
        return found;
    QSet<QString> seen;
    for (const QString& sentence : sentences) {
        const bool matches = std::all_of(words.begin(), words.end(), [&](const QString& word) {
            return sentence.contains(word, Qt::CaseInsensitive);
        });
        if (matches && !seen.contains(sentence)) {
            seen.insert(sentence);
            found << sentence;
        }
    }
    return found;
}

}  // namespace velmora::comments
