#pragma once

#include "workbook/xls/styles.h"

#include <QString>
#include <vector>

// A number format code ("0.00", "0%", "yyyy\"年\"m\"月\"d\"日\"", "#,##0;[Red]-#,##0")
// taken apart once, to show many values the way spreadsheet programs do.
// Covered: up to four sections (positive; negative; zero; text) and
// conditions, colours, digit placeholders 0 # ?, thousands separators,
// percent, scientific notation, literal text, dates and times with Chinese
// names, elapsed hours. Fractions are shown as decimals.
namespace velmora::xls {

struct Shown {
    QString text;
    Colour colour;  // from a [Red] or [Color n] part; nullopt: the cell's font colour
};

class NumberFormat {
public:
    explicit NumberFormat(const QString& code = QStringLiteral("General"));

    // A number; for a date or time format, a serial of the 1900 date system.
    Shown number(double value) const;
    Shown text(const QString& text) const;

    struct Token {
        enum Kind : quint8 {
            Literal,
            General,
            Digit,
            Point,
            Thousands,
            Percent,
            Exponent,
            TextValue,
            Year2,
            Year4,
            Month,
            Month2,
            MonthShort,
            MonthLong,
            MonthLetter,
            Day,
            Day2,
            DayShort,
            DayLong,
            WeekShort,
            WeekLong,
            Hour,
            Hour2,
            Minute,
            Minute2,
            Second,
            Second2,
            AmPm,
            ChineseAmPm,
            ElapsedHours,
            ElapsedMinutes,
            ElapsedSeconds,
            SubSecond
        };
        Kind kind = Literal;
        QString text;   // Literal: the text; Digit: '0', '#' or '?'; Exponent: "E+" or "E-"
        int count = 0;  // SubSecond: digits; Exponent: digits
    };
    struct Section {
        std::vector<Token> tokens;
        Colour colour;
        bool hasCondition = false;
        char op = 0;  // '<', '>', '=', 'l' (<=), 'g' (>=), 'n' (<>)
        double operand = 0;
        bool isDate = false;
        bool isText = false;  // holds '@'
        bool condition(double v) const;
    };

private:
    const Section* sectionFor(double value, bool* negativeSign) const;

    std::vector<Section> sections_;
    bool general_ = true;
};

// The parts of a number rounded the way spreadsheet programs round (to 15
// significant digits, then half away from zero): integer and fraction digits.
struct Digits {
    QString integer;   // no leading zeros; empty for 0
    QString fraction;  // exactly the decimals asked for
};
Digits roundedDigits(double magnitude, int decimals);

// Renders one section's tokens (see NumberFormat); dates in dateformat.cpp.
QString renderNumber(const NumberFormat::Section& section, double magnitude);
QString renderDate(const NumberFormat::Section& section, double serial);
// A number as the General format shows it in a cell: at most 11 characters
// where it can, like spreadsheet programs.
QString generalText(double value);

}  // namespace velmora::xls
