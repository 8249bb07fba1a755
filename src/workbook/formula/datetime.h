#pragma once

#include <QStringView>

// Dates as serial numbers. The 1900 date system counts 1900-01-01 as 1 and,
// as every spreadsheet program does for compatibility, has a 29 February
// 1900 (serial 60); the 1904 system counts 1904-01-01 as 0.
namespace velmora::formula {

struct YearMonthDay {
    int year = 0, month = 0, day = 0;
};

// The serial of a date as DATE builds it: months past 12 or below 1 and
// days past the month's end carry over, years below 1900 count from 1900.
// False for dates before the system's first day or after 9999-12-31.
bool dateSerial(int year, int month, int day, bool date1904, double& out);
// The date of a serial (its whole part); false for serials out of range.
// Serial 0 of the 1900 system is "1900-01-00".
bool serialDate(double serial, bool date1904, YearMonthDay& out);
// 1 for Sunday to 7 for Saturday.
int weekday(double serial, bool date1904);

// "2003-9-1", "2003/9/1", "2003年9月1日", "8:30", "8:30:15" and a date
// followed by a time; false for anything else.
bool parseDateTime(QStringView text, bool date1904, double& out);

// Today and now in the local time zone.
double todaySerial(bool date1904);
double nowSerial(bool date1904);

}  // namespace velmora::formula
