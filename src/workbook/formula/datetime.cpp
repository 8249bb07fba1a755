#include "workbook/formula/datetime.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <cmath>

namespace velmora::formula {

namespace {

constexpr double kLastSerial1900 = 2958465;  // 9999-12-31

qint64 base(bool date1904) {
    return date1904 ? QDate(1904, 1, 1).toJulianDay() : QDate(1899, 12, 30).toJulianDay();
}

}  // namespace

bool dateSerial(int year, int month, int day, bool date1904, double& out) {
    if (year < 0 || year >= 10000)
        return false;
    if (year < 1900)
        year += 1900;
    // Months carry over into years, then days into months.
    const qint64 months = qint64(year) * 12 + (month - 1);
    const qint64 y = months >= 0 ? months / 12 : (months - 11) / 12;
    const int m = int(months - y * 12) + 1;
    if (y < 1 || y > 9999)
        return false;
    const QDate first(int(y), m, 1);
    qint64 serial = first.toJulianDay() - base(date1904);
    // Before March 1900 the 1900 system is one day behind: it counts the
    // phantom 29 February that comes after.
    if (!date1904 && serial < 61)
        serial -= 1;
    serial += day - 1;
    const double last = date1904 ? kLastSerial1900 - 1462 : kLastSerial1900;
    if (serial < 0 || serial > last)
        return false;
    out = double(serial);
    return true;
}

bool serialDate(double serial, bool date1904, YearMonthDay& out) {
    if (!std::isfinite(serial) || serial < 0)
        return false;
    const double whole = std::floor(serial);
    if (whole > (date1904 ? kLastSerial1900 - 1462 : kLastSerial1900))
        return false;
    const qint64 n = qint64(whole);
    if (!date1904 && n == 0) {
        out = {1900, 1, 0};
        return true;
    }
    if (!date1904 && n == 60) {
        out = {1900, 2, 29};
        return true;
    }
    const QDate d = QDate::fromJulianDay(base(date1904) + n + (!date1904 && n < 60 ? 1 : 0));
    out = {d.year(), d.month(), d.day()};
    return true;
}

int weekday(double serial, bool date1904) {
    const qint64 n = qint64(std::floor(serial));
    return int(((n + (date1904 ? 5 : 6)) % 7 + 7) % 7) + 1;
}

namespace {

// "June", "jun": 1 to 12; 0 for anything else.
int monthNumber(const QString& name) {
    static const char* const months[] = {"january", "february", "march",     "april",
                                         "may",     "june",     "july",      "august",
                                         "september", "october", "november", "december"};
    const QString n = name.toLower();
    for (int i = 0; i < 12; ++i) {
        const QString full = QString::fromLatin1(months[i]);
        if (n == full || (n.size() == 3 && full.startsWith(n)))
            return i + 1;
    }
    return 0;
}

}  // namespace

bool parseDateTime(QStringView text, bool date1904, double& out) {
    // A date (numeric year first, or with an English month name), then a
    // time with an optional AM or PM; either may be missing.
    static const QRegularExpression pattern(QStringLiteral(
        "^(?:(\\d{4})(?:-|/|年)(\\d{1,2})(?:-|/|月)(\\d{1,2})日?"
        "|([A-Za-z]{3,9})\\.?\\s+(\\d{1,2}),?\\s+(\\d{4})"
        "|(\\d{1,2})[-\\s]([A-Za-z]{3,9})[-\\s](\\d{4}))?\\s*"
        "(?:(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}(?:\\.\\d+)?))?\\s*([AaPp][Mm])?)?$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed().toString());
    const bool hasDate = m.hasMatch() && (m.hasCaptured(1) || m.hasCaptured(4) || m.hasCaptured(7));
    const bool hasTime = m.hasMatch() && m.hasCaptured(10);
    if (!hasDate && !hasTime)
        return false;
    double serial = 0;
    if (hasDate) {
        int year = 0, month = 0, day = 0;
        if (m.hasCaptured(1)) {
            year = m.captured(1).toInt();
            month = m.captured(2).toInt();
            day = m.captured(3).toInt();
        } else if (m.hasCaptured(4)) {
            month = monthNumber(m.captured(4));
            day = m.captured(5).toInt();
            year = m.captured(6).toInt();
        } else {
            day = m.captured(7).toInt();
            month = monthNumber(m.captured(8));
            year = m.captured(9).toInt();
        }
        if (month < 1 || month > 12 || day < 1 || day > 31)
            return false;
        if (!QDate(year, month, day).isValid() && !(year == 1900 && month == 2 && day == 29))
            return false;
        if (!dateSerial(year, month, day, date1904, serial))
            return false;
    }
    if (hasTime) {
        int h = m.captured(10).toInt();
        const int min = m.captured(11).toInt();
        const double sec = m.hasCaptured(12) ? m.captured(12).toDouble() : 0;
        if (m.hasCaptured(13)) {
            if (h < 1 || h > 12)
                return false;
            const bool pm = m.captured(13).toUpper() == QLatin1String("PM");
            h = h % 12 + (pm ? 12 : 0);
        }
        if (min > 59 || sec >= 60 || (hasDate && h > 23))
            return false;
        serial += (h * 3600 + min * 60 + sec) / 86400.0;
    }
    out = serial;
    return true;
}

double todaySerial(bool date1904) {
    return double(QDate::currentDate().toJulianDay() - base(date1904));
}

double nowSerial(bool date1904) {
    const QDateTime now = QDateTime::currentDateTime();
    return todaySerial(date1904) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

}  // namespace velmora::formula
