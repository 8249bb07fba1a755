// The built-in comment library: each box holds the number of lines its page
// is laid out for, opens as the page expects, and offers every sentence or
// comment paragraph once, written with Chinese punctuation.
#include "comments/librarytexts.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace velmora::comments;

namespace {

enum Opening { kSentence, kEmptyLine, kBlankLed };

const QStringList kGradePages = {QStringLiteral("TextBox17"), QStringLiteral("TextBox18"),
                                 QStringLiteral("TextBox19")};
const QString kIndent = QStringLiteral("    ");
const QRegularExpression kNumbered(QStringLiteral("^([1-9][0-9]*) (.*)$"));

QStringList linesOf(const QString& box) {
    return libraryText(box).split(QLatin1Char('\n'));
}

// The sentence or paragraph of a line, without indentation or number.
QString body(const QString& line) {
    const QString text = line.trimmed();
    const QRegularExpressionMatch m = kNumbered.match(text);
    return m.hasMatch() ? m.captured(2) : text;
}

// Sorted pairs of neighbouring Chinese characters: two lines that differ by a
// swapped word or two still share most of these.
std::vector<quint32> bigrams(const QString& text) {
    QString han;
    for (QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) {
            han += c;
        }
    }
    std::vector<quint32> pairs;
    for (qsizetype i = 0; i + 1 < han.size(); ++i) {
        pairs.push_back(quint32(han[i].unicode()) << 16 | han[i + 1].unicode());
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    return pairs;
}

double similarity(const std::vector<quint32>& a, const std::vector<quint32>& b) {
    std::vector<quint32> common;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(common));
    const size_t all = a.size() + b.size() - common.size();
    return all == 0 ? 0.0 : double(common.size()) / double(all);
}

}  // namespace

class TestLibraryTexts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boxesAreTheTwelvePagesInOrder();
    void shape_data();
    void shape();
    void punctuation_data();
    void punctuation();
    void noLineRepeatsOrNearlyRepeats();
    void gradeParagraphs_data();
    void gradeParagraphs();
};

void TestLibraryTexts::boxesAreTheTwelvePagesInOrder() {
    const QStringList expected = {"TextBox10", "TextBox9",  "TextBox8",  "TextBox7",
                                  "TextBox2",  "TextBox3",  "TextBox4",  "TextBox5",
                                  "TextBox6",  "TextBox17", "TextBox18", "TextBox19"};
    QCOMPARE(libraryBoxNames(), expected);
    for (const char* other : {"TextBox13", "TextBox21", "textbox10", "TextBox1", ""}) {
        QVERIFY2(libraryText(QString::fromLatin1(other)).isEmpty(), other);
    }
}

void TestLibraryTexts::shape_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("opening");
    QTest::addColumn<QString>("first");
    auto row = [](const char* box, int lines, Opening opening, const char* first) {
        QTest::newRow(box) << QString::fromLatin1(box) << lines << int(opening)
                           << QString::fromUtf8(first);
    };
    row("TextBox10", 95, kSentence, "爱说爱笑是你的优点，爱哭爱闹是你的缺点。");
    row("TextBox9", 97, kEmptyLine,
        "做作业时细心，不要漏字、写错字。从上课时用心听讲的神情，让人感到你的专注、认真。");
    row("TextBox8", 96, kEmptyLine, "按时完成作业，字迹工整。");
    row("TextBox7", 96, kEmptyLine, "今学期学习更主动自觉了，工作热情更高了。");
    row("TextBox2", 73, kSentence, "爱护公物，能遵守学校各项制度和《一日常规》。");
    row("TextBox3", 68, kSentence, "不服输是你性格中最大的特点.");
    row("TextBox4", 76, kEmptyLine,
        "班会上出色的小主持人，语文课上独特的发言，阅读课上丰富的历史知识介绍，"
        "都给大家留下了深刻的印象。");
    row("TextBox5", 67, kBlankLed, "爱发言是好事，但不能得意忘形，连课堂纪律也不遵守了。");
    row("TextBox6", 96, kEmptyLine,
        "聪明、好学、爱动脑筋是你学习居于前列的重要原因，但好动爱说是你前进道路上急需"
        "清除的障碍，清除它们，你会取得更大的成绩。");
    row("TextBox17", 81, kEmptyLine, "1 你的勤奋和努力是班里出了名的。");
    row("TextBox18", 88, kEmptyLine, "“白净，小个”的你是那样的活泼，可爱，");
    row("TextBox19", 69, kEmptyLine, "你聪明伶俐，思维敏捷，优美的文字令老师赞叹！");
}

void TestLibraryTexts::shape() {
    QFETCH(QString, box);
    QFETCH(int, lines);
    QFETCH(int, opening);
    QFETCH(QString, first);
    const QStringList text = linesOf(box);
    QCOMPARE(text.size(), lines);
    QVERIFY(!libraryText(box).contains(QLatin1Char('\r')));

    const QString& head = text.first();
    const QString& firstFilled = opening == kEmptyLine ? text.at(1) : head;
    QCOMPARE(head.isEmpty(), opening == kEmptyLine);
    if (opening == kBlankLed) {
        QVERIFY2(head.startsWith(QString(8, QLatin1Char(' '))), qPrintable(head));
    }
    QVERIFY2(firstFilled.trimmed().startsWith(first), qPrintable(firstFilled));

    const bool indented = kGradePages.contains(box);
    for (int i = opening == kEmptyLine ? 1 : 0; i < text.size(); ++i) {
        const QString& line = text.at(i);
        QVERIFY2(!line.trimmed().isEmpty(), qPrintable(QStringLiteral("line %1").arg(i + 1)));
        QVERIFY2(!line.back().isSpace(), qPrintable(line));
        const bool blankLed = line.front().isSpace();
        const bool blankLedHere = indented || (i == 0 && opening == kBlankLed);
        QVERIFY2(blankLed == blankLedHere, qPrintable(line));
    }
}

void TestLibraryTexts::punctuation_data() {
    shape_data();
}

void TestLibraryTexts::punctuation() {
    QFETCH(QString, box);
    QFETCH(QString, first);
    static const QRegularExpression ascii(QStringLiteral("[,.!?;:()\"'<>\\[\\]]"));
    static const QString enders = QStringLiteral("。！？…”");
    for (const QString& line : linesOf(box)) {
        if (line.isEmpty()) {
            continue;
        }
        // The given opening sentences are kept exactly as they were handed down.
        QString own = line.trimmed();
        if (own.startsWith(first)) {
            own.remove(0, first.size());
        }
        QVERIFY2(!own.contains(ascii), qPrintable(line));
        if (!own.isEmpty()) {
            QVERIFY2(enders.contains(own.back()), qPrintable(line));
        }
        QVERIFY2(!body(line).contains(QLatin1Char(' ')), qPrintable(line));
    }
}

void TestLibraryTexts::noLineRepeatsOrNearlyRepeats() {
    struct Entry {
        QString where;
        QString text;
        std::vector<quint32> pairs;
    };
    std::vector<Entry> all;
    for (const QString& box : libraryBoxNames()) {
        const QStringList text = linesOf(box);
        for (int i = 0; i < text.size(); ++i) {
            if (!text.at(i).isEmpty()) {
                all.push_back({box + QStringLiteral(":%1").arg(i + 1), body(text.at(i)),
                               bigrams(body(text.at(i)))});
            }
        }
    }
    QVERIFY(all.size() > 990);
    for (size_t i = 0; i < all.size(); ++i) {
        for (size_t j = i + 1; j < all.size(); ++j) {
            if (all[i].text == all[j].text || similarity(all[i].pairs, all[j].pairs) >= 0.5) {
                QFAIL(qPrintable(all[i].where + QLatin1Char(' ') + all[j].where));
            }
        }
    }
}

void TestLibraryTexts::gradeParagraphs_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("numbered");
    QTest::addColumn<int>("unnumbered");
    QTest::addColumn<int>("lastNumber");
    // 81 lines: the empty first line, then 80 paragraphs. Four carry no number;
    // the other 76 count from 1 to 74 in order, so two numbers occur twice.
    QTest::newRow("top") << QStringLiteral("TextBox17") << 76 << 4 << 74;
    QTest::newRow("average") << QStringLiteral("TextBox18") << 0 << 87 << 0;
    QTest::newRow("behind") << QStringLiteral("TextBox19") << 0 << 68 << 0;
}

void TestLibraryTexts::gradeParagraphs() {
    QFETCH(QString, box);
    QFETCH(int, numbered);
    QFETCH(int, unnumbered);
    QFETCH(int, lastNumber);
    const QStringList text = linesOf(box);
    QList<int> numbers;
    QList<int> plainAt;
    for (int i = 1; i < text.size(); ++i) {
        const QString& line = text.at(i);
        const bool indented = line.startsWith(kIndent) && line.size() > kIndent.size() &&
                              !line.at(kIndent.size()).isSpace();
        QVERIFY2(indented, qPrintable(line));
        const qsizetype length = body(line).size();
        QVERIFY2(length >= 80 && length <= 200, qPrintable(line));
        const QRegularExpressionMatch m = kNumbered.match(line.mid(kIndent.size()));
        if (m.hasMatch()) {
            numbers << m.captured(1).toInt();
        } else {
            plainAt << i;
        }
    }
    QCOMPARE(numbers.size(), numbered);
    QCOMPARE(plainAt.size(), unnumbered);
    if (numbered == 0) {
        return;
    }
    QCOMPARE(numbers.first(), 1);
    QCOMPARE(numbers.last(), lastNumber);
    for (int k = 1; k < numbers.size(); ++k) {
        const int step = numbers.at(k) - numbers.at(k - 1);
        QVERIFY2(step == 0 || step == 1, qPrintable(QString::number(numbers.at(k))));
    }
    // The unnumbered paragraphs stand among the numbered ones, not at either end.
    QVERIFY(plainAt.first() > 1 && plainAt.last() < text.size() - 1);
}

QTEST_GUILESS_MAIN(TestLibraryTexts)
#include "test_librarytexts.moc"
