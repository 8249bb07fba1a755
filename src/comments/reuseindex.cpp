#include "comments/reuseindex.h"

#include "comments/commentlength.h"
#include "comments/sentences.h"

#include <QSet>
#include <QTextBoundaryFinder>

namespace velmora::comments {

namespace {
constexpr int kShortestSentence = 4;
constexpr int kLinesShown = 3;
constexpr int kNumbersShown = 6;
// A sentence longer than this shows its first kHeadShown characters and "……".
constexpr int kLongestShownWhole = 8;
constexpr int kHeadShown = 6;

bool isEndMark(QChar c) {
    return c.isPunct() || c.isSpace();
}

// The first n characters as a teacher counts them (whole clusters).
QString head(const QString& text, int n) {
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int i = 0; i < n && end != -1; ++i) end = clusters.toNextBoundary();
    return end == -1 ? text : text.left(end);
}

// "上课认真听讲，积极回答问题。" -> "上课认真听讲……"; short sentences whole,
// without their end mark.
QString shortened(QString sentence) {
    while (!sentence.isEmpty() && isEndMark(sentence.back())) sentence.chop(1);
    if (commentLength(sentence) <= kLongestShownWhole)
        return sentence;
    QString shown = head(sentence, kHeadShown);
    while (!shown.isEmpty() && isEndMark(shown.back())) shown.chop(1);
    return shown + QStringLiteral("……");
}

QString numberList(const QList<int>& numbers, int shown) {
    QStringList texts;
    for (int n : numbers.mid(0, shown)) texts << QString::number(n);
    return texts.join(u'、');
}

QString line(const Reuse& reuse, const QString& sentence, int numbersShown) {
    if (reuse.numbers.size() <= numbersShown)
        return QStringLiteral("“%1”已用于 %2 号的评语")
            .arg(sentence, numberList(reuse.numbers, numbersShown));
    return QStringLiteral("“%1”已用于 %2 等 %3 名学生的评语")
        .arg(sentence, numberList(reuse.numbers, numbersShown))
        .arg(reuse.numbers.size());
}
}  // namespace

ReuseIndex::ReuseIndex(const QList<StudentComment>& students) {
    for (const StudentComment& student : students) {
        QSet<QString> seen;  // a sentence twice in one comment is one use
        for (const QString& sentence : sentencesOf(student.comment)) {
            const QString key = sentenceKey(sentence);
            if (commentLength(key) >= kShortestSentence && !seen.contains(key)) {
                seen.insert(key);
                numbers_[key] << student.number;  // rows come in ascending order
            }
        }
    }
}

QList<Reuse> ReuseIndex::reusesIn(const QString& text, std::optional<int> student) const {
    QList<Reuse> reuses;
    QSet<QString> seen;
    for (const QString& sentence : sentencesOf(text)) {
        const QString key = sentenceKey(sentence);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        QList<int> others = numbers_.value(key);
        if (student)
            others.removeOne(*student);
        if (!others.isEmpty() && commentLength(key) >= kShortestSentence)
            reuses << Reuse{sentence, others};
    }
    return reuses;
}

bool ReuseIndex::reuses(const StudentComment& student) const {
    return !reusesIn(student.comment, student.number).isEmpty();
}

QString reuseLine(const QList<Reuse>& reuses) {
    QStringList lines;
    for (const Reuse& reuse : reuses.mid(0, kLinesShown))
        lines << line(reuse, shortened(reuse.sentence), kNumbersShown);
    if (reuses.size() > kLinesShown)
        lines << QStringLiteral("另有 %1 句也已用于其他学生的评语").arg(reuses.size() - kLinesShown);
    return lines.join(u'\n');
}

QString reuseDetails(const QList<Reuse>& reuses) {
    QStringList lines;
    for (const Reuse& reuse : reuses) lines << line(reuse, reuse.sentence, reuse.numbers.size());
    return lines.join(u'\n');
}

}  // namespace velmora::comments
