// Date and time functions over serial numbers of the workbook's date system.
#include "workbook/formula/datetime.h"
#include "workbook/formula/library.h"

#include <QDate>
#include <cmath>

namespace velmora::formula {

namespace {

Operand number(double x) {
    return Value::ofNumber(x);
}

double serial(const Call& c, int i) {
    const double s = c.number(i);
    if (s < 0)
        throw ErrorResult{err::kNum};
    return s;
}

YearMonthDay date(const Call& c, int i) {
    YearMonthDay ymd;
    if (!serialDate(serial(c, i), c.ctx.date1904, ymd))
        throw ErrorResult{err::kNum};
    return ymd;
}

double makeDate(const Call& c, int year, int month, int day) {
    double s = 0;
    if (!dateSerial(year, month, day, c.ctx.date1904, s))
        throw ErrorResult{err::kNum};
    return s;
}

// Seconds into the day, rounded to the nearest second as cells show them.
qint64 seconds(const Call& c, int i) {
    const double s = serial(c, i);
    return std::llround((s - std::floor(s)) * 86400) % 86400;
}

Operand today(Call& c) {
    return number(todaySerial(c.ctx.date1904));
}

Operand now(Call& c) {
    return number(nowSerial(c.ctx.date1904));
}

Operand dateFn(Call& c) {
    const double y = std::trunc(c.number(0)), m = std::trunc(c.number(1)),
                 d = std::trunc(c.number(2));
    if (std::fabs(m) > 1e6 || std::fabs(d) > 1e8)
        throw ErrorResult{err::kNum};
    return number(makeDate(c, int(std::clamp(y, -1.0, 10000.0)), int(m), int(d)));
}

Operand time(Call& c) {
    const double h = std::trunc(c.number(0)), m = std::trunc(c.number(1)),
                 s = std::trunc(c.number(2));
    const double total = h * 3600 + m * 60 + s;
    if (total < 0 || total >= 32768.0 * 3600)
        throw ErrorResult{err::kNum};
    return number(std::fmod(total, 86400) / 86400);
}

Operand year(Call& c) {
    return number(date(c, 0).year);
}
Operand month(Call& c) {
    return number(date(c, 0).month);
}
Operand day(Call& c) {
    return number(date(c, 0).day);
}
Operand hour(Call& c) {
    return number(double(seconds(c, 0) / 3600));
}
Operand minute(Call& c) {
    return number(double(seconds(c, 0) / 60 % 60));
}
Operand second(Call& c) {
    return number(double(seconds(c, 0) % 60));
}

Operand weekdayFn(Call& c) {
    const double s = serial(c, 0);
    const int type = int(std::trunc(c.number(1, 1)));
    const int w = weekday(s, c.ctx.date1904);  // 1 Sunday .. 7 Saturday
    switch (type) {
        case 1: return number(w);
        case 2: return number((w + 5) % 7 + 1);
        case 3: return number((w + 5) % 7);
        default: throw ErrorResult{err::kNum};
    }
}

// Whole months from one date to another, a day of the month not yet
// reached not counting.
int monthsBetween(const YearMonthDay& a, const YearMonthDay& b) {
    int months = (b.year - a.year) * 12 + (b.month - a.month);
    if (b.day < a.day)
        --months;
    return months;
}

int daysInMonth(int year, int month) {
    if (year == 1900 && month == 2)
        return 29;
    return QDate(year, month, 1).daysInMonth();
}

Operand datedif(Call& c) {
    const double start = std::floor(serial(c, 0)), end = std::floor(serial(c, 1));
    const QString unit = c.text(2).toUpper();
    if (start > end)
        throw ErrorResult{err::kNum};
    const YearMonthDay a = date(c, 0), b = date(c, 1);
    if (unit == QLatin1String("D"))
        return number(end - start);
    if (unit == QLatin1String("M"))
        return number(monthsBetween(a, b));
    if (unit == QLatin1String("Y"))
        return number(monthsBetween(a, b) / 12);
    if (unit == QLatin1String("YM"))
        return number(monthsBetween(a, b) % 12);
    if (unit == QLatin1String("MD")) {
        if (b.day >= a.day)
            return number(b.day - a.day);
        const int pm = b.month == 1 ? 12 : b.month - 1, py = b.month == 1 ? b.year - 1 : b.year;
        return number(daysInMonth(py, pm) - a.day + b.day);
    }
    if (unit == QLatin1String("YD")) {
        // Days from the start's day and month in the last year up to the end.
        int year = b.year;
        double from = 0;
        while (true) {
            const int d = std::min(a.day, daysInMonth(year, a.month));
            from = makeDate(c, year, a.month, d);
            if (from <= end)
                break;
            --year;
        }
        return number(end - from);
    }
    throw ErrorResult{err::kNum};
}

Operand days360(Call& c) {
    const YearMonthDay a = date(c, 0), b = date(c, 1);
    const bool european = c.boolean(2, false);
    int d1 = a.day, d2 = b.day;
    if (european) {
        d1 = std::min(d1, 30);
        d2 = std::min(d2, 30);
    } else {
        const bool lastOfFebruary = a.month == 2 && a.day == daysInMonth(a.year, 2);
        if (d1 == 31 || lastOfFebruary)
            d1 = 30;
        if (d2 == 31 && d1 == 30)
            d2 = 30;
    }
    return number((b.year - a.year) * 360 + (b.month - a.month) * 30 + (d2 - d1));
}

Operand dateValue(Call& c) {
    double s = 0;
    if (!parseDateTime(c.text(0), c.ctx.date1904, s) || s < 1)
        throw ErrorResult{err::kValue};
    return number(std::floor(s));
}

Operand timeValue(Call& c) {
    double s = 0;
    if (!parseDateTime(c.text(0), c.ctx.date1904, s))
        throw ErrorResult{err::kValue};
    return number(s - std::floor(s));
}

// The date of the first argument moved by the second's whole months; the
// day is the original one, to be fitted into the new month by the caller.
YearMonthDay monthsLater(Call& c) {
    const YearMonthDay a = date(c, 0);
    const int months = int(std::trunc(c.number(1)));
    const int total = a.year * 12 + (a.month - 1) + months;
    const int y = total / 12, m = total % 12 + 1;
    if (y < 1900 || y > 9999)
        throw ErrorResult{err::kNum};
    return {y, m, a.day};
}

Operand edate(Call& c) {
    const YearMonthDay d = monthsLater(c);
    return number(makeDate(c, d.year, d.month, std::min(d.day, daysInMonth(d.year, d.month))));
}

Operand eomonth(Call& c) {
    const YearMonthDay d = monthsLater(c);
    return number(makeDate(c, d.year, d.month, daysInMonth(d.year, d.month)));
}

}  // namespace

const std::vector<FunctionEntry>& dateFunctions() {
    static const std::vector<FunctionEntry> table = {
        {"TODAY", today},
        {"NOW", now},
        {"DATE", dateFn},
        {"TIME", time},
        {"YEAR", year},
        {"MONTH", month},
        {"DAY", day},
        {"HOUR", hour},
        {"MINUTE", minute},
        {"SECOND", second},
        {"WEEKDAY", weekdayFn},
        {"DATEDIF", datedif},
        {"DAYS360", days360},
        {"DATEVALUE", dateValue},
        {"TIMEVALUE", timeValue},
        {"EDATE", edate},
        {"EOMONTH", eomonth},
    };
    return table;
}

}  // namespace velmora::formula
