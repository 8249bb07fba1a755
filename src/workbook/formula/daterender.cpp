#include "workbook/formula/datetime.h"
#include "workbook/formula/numberformat.h"

#include <cmath>

namespace velmora::formula {

namespace {

using Token = NumberFormat::Token;

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};
const char16_t* const kChineseDays[] = {u"日", u"一", u"二", u"三", u"四", u"五", u"六"};

struct When {
    int year = 1900, month = 1, day = 0;
    int weekday = 0;      // 0 Sunday
    long long hours = 0;  // since the serial's day began, and elapsed in all
    int hour = 0, minute = 0, second = 0, subsecond = 0;
    double totalSeconds = 0;
};

// The serial's date and its time to the shown fraction of a second (which
// may round up into the next day); nullopt out of the date system's range.
std::optional<When> when(double serial, int subDigits, bool date1904) {
    YearMonthDay date;
    if (!serialDate(serial, date1904, date))
        return std::nullopt;
    When w;
    const double scale = std::pow(10.0, subDigits);
    const long long ticks = std::llround(serial * 86400.0 * scale);
    const long long perDay = 86400LL * (long long)scale;
    const long long day = ticks / perDay;
    long long rest = ticks % perDay;
    w.totalSeconds = double(ticks) / scale;
    w.subsecond = int(rest % (long long)scale);
    rest /= (long long)scale;
    w.hour = int(rest / 3600);
    w.minute = int(rest / 60 % 60);
    w.second = int(rest % 60);
    if (!serialDate(double(day), date1904, date))
        return std::nullopt;
    w.year = date.year;
    w.month = date.month;
    w.day = date.day;
    w.weekday = weekday(double(day), date1904) - 1;
    return w;
}

QString two(long long n) {
    return QString::number(n).rightJustified(2, u'0');
}

}  // namespace

std::optional<QString> renderDate(const NumberFormat::Section& s, double serial, bool date1904) {
    int subDigits = 0;
    bool twelve = false;
    for (const Token& t : s.tokens) {
        if (t.kind == Token::SubSecond)
            subDigits = t.count;
        twelve = twelve || t.kind == Token::AmPm || t.kind == Token::ChineseAmPm;
    }
    const std::optional<When> found = when(serial, subDigits, date1904);
    if (!found)
        return std::nullopt;
    const When& w = *found;
    const int hour12 = w.hour % 12 == 0 ? 12 : w.hour % 12;
    const int hour = twelve ? hour12 : w.hour;
    QString out;
    for (const Token& t : s.tokens) {
        switch (t.kind) {
            case Token::Literal:
                out += t.text;
                break;
            case Token::Year2:
                out += two(w.year % 100);
                break;
            case Token::Year4:
                out += QString::number(w.year);
                break;
            case Token::Month:
                out += QString::number(w.month);
                break;
            case Token::Month2:
                out += two(w.month);
                break;
            case Token::MonthShort:
                out += QString::fromLatin1(kMonths[w.month - 1], 3);
                break;
            case Token::MonthLong:
                out += QString::fromLatin1(kMonths[w.month - 1]);
                break;
            case Token::MonthLetter:
                out += QChar(kMonths[w.month - 1][0]);
                break;
            case Token::Day:
                out += QString::number(w.day);
                break;
            case Token::Day2:
                out += two(w.day);
                break;
            case Token::DayShort:
                out += QString::fromLatin1(kDays[w.weekday], 3);
                break;
            case Token::DayLong:
                out += QString::fromLatin1(kDays[w.weekday]);
                break;
            case Token::WeekShort:
                out += QString::fromUtf16(kChineseDays[w.weekday]);
                break;
            case Token::WeekLong:
                out += QStringLiteral("星期") + QString::fromUtf16(kChineseDays[w.weekday]);
                break;
            case Token::Hour:
                out += QString::number(hour);
                break;
            case Token::Hour2:
                out += two(hour);
                break;
            case Token::Minute:
                out += QString::number(w.minute);
                break;
            case Token::Minute2:
                out += two(w.minute);
                break;
            case Token::Second:
                out += QString::number(w.second);
                break;
            case Token::Second2:
                out += two(w.second);
                break;
            case Token::SubSecond:
                out += u'.' + QString::number(w.subsecond).rightJustified(t.count, u'0');
                break;
            case Token::AmPm:
                out += t.text == u"AM" ? (w.hour < 12 ? "AM" : "PM") : (w.hour < 12 ? "A" : "P");
                break;
            case Token::ChineseAmPm:
                out += w.hour < 12 ? QStringLiteral("上午") : QStringLiteral("下午");
                break;
            case Token::ElapsedHours:
                out += QString::number(std::llround(std::floor(w.totalSeconds / 3600)))
                           .rightJustified(t.count, u'0');
                break;
            case Token::ElapsedMinutes:
                out += QString::number(std::llround(std::floor(w.totalSeconds / 60)))
                           .rightJustified(t.count, u'0');
                break;
            case Token::ElapsedSeconds:
                out += QString::number(std::llround(std::floor(w.totalSeconds)))
                           .rightJustified(t.count, u'0');
                break;
            default:
                break;  // digit placeholders have no place in a date
        }
    }
    return out;
}

}  // namespace velmora::formula
