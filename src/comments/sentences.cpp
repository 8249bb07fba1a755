#include "comments/sentences.h"

namespace velmora::comments {

namespace {

bool endsSentence(QChar c) {
    return c == u'。' || c == u'！' || c == u'？' || c == u'!' || c == u'?';
}

bool isLineBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator ||
           c == QChar::LineSeparator;
}

// Marks that stay with the sentence they close: "他说：“好。”" is one sentence.
bool closesQuote(QChar c) {
    return c == u'”' || c == u'’' || c == u'」' || c == u'』' || c == u'）' || c == u')' ||
           c == u'"' || c == u'\'' || c == u'》';
}

// A half-width full stop ends a sentence too ("特点."), unless it is the
// decimal point of a number ("85.5分").
bool isFullStop(const QString& text, qsizetype i) {
    const bool decimal = i > 0 && i + 1 < text.size() && text[i - 1].isDigit() &&
                         text[i + 1].isDigit();
    return text[i] == u'.' && !decimal;
}

}  // namespace

QStringList sentencesOf(const QString& text) {
    QStringList sentences;
    auto add = [&](qsizetype from, qsizetype to) {
        const QString sentence = text.mid(from, to - from).trimmed();
        if (!sentence.isEmpty())
            sentences << sentence;
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isLineBreak(text[i])) {
            add(start, i);
            start = i + 1;
        } else if (endsSentence(text[i]) || isFullStop(text, i)) {
            qsizetype end = i + 1;
            while (end < text.size() && (endsSentence(text[end]) || closesQuote(text[end])))
                ++end;
            add(start, end);
            start = end;
            i = end - 1;
        }
    }
    add(start, text.size());
    return sentences;
}

QString sentenceKey(const QString& sentence) {
    QString key = sentence.normalized(QString::NormalizationForm_KC);
    key.removeIf([](QChar c) { return c.isSpace(); });
    while (!key.isEmpty() &&
           (endsSentence(key.back()) || key.back() == u'.' || closesQuote(key.back())))
        key.chop(1);
    return key;
}

}  // namespace velmora::comments
