#pragma once

#include <QString>
#include <optional>
#include <vector>

// A number format code ("0.00", "0%", "yyyy\"年\"m\"月\"d\"日\"", "#,##0;[Red]-#,##0")
// taken apart once, to show many values the way spreadsheet programs do: in
// the cells of the sheet window, and through TEXT and FIXED. Covered: up to
// four sections (positive; negative; zero; text) and conditions, colours,
// digit placeholders 0 # ?, thousands separators and scaling, percent,
// scientific notation, literal text, dates and times with Chinese weekdays
// and half days, elapsed time. Fractions are shown as decimals.
namespace velmora::formula {

struct Shown {
    QString text;
    // From [Red] or [Color n]: 1 to 56, an entry of the workbook's colour
    // palette (black 1, white 2, red 3 ... as [Color n] counts); 0: none.
    int colour = 0;
    // A date or time before the date system's first day or after
    // 9999-12-31: the text is "########", as a cell shows it.
    bool outOfRange = false;
};

class NumberFormat {
public:
    explicit NumberFormat(const QString& code = QStringLiteral("General"));

    // A number; for a date or time format, a serial of the 1900 (or 1904)
    // date system.
    Shown number(double value, bool date1904 = false) const;
    Shown text(const QString& text) const;

    // False where a quote or a bracket is left open.
    bool complete() const { return complete_; }
    // True where the code holds month or weekday names (mmm, dddd) or AM/PM:
    // their words depend on the language of the program showing them, and
    // this engine shows the English ones.
    bool hasNamedParts() const;

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
        int colour = 0;
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
    bool complete_ = true;
};

// The parts of a number rounded the way spreadsheet programs round (to 15
// significant digits, then half away from zero): integer and fraction digits.
struct Digits {
    QString integer;   // no leading zeros; empty for 0
    QString fraction;  // exactly the decimals asked for
};
Digits roundedDigits(double magnitude, int decimals);

// Renders one section's tokens (see NumberFormat): numbers in
// numberrender.cpp, dates in daterender.cpp (nullopt for a serial out of
// the date system's range).
QString renderNumber(const NumberFormat::Section& section, double magnitude);
std::optional<QString> renderDate(const NumberFormat::Section& section, double serial,
                                  bool date1904);
// A number as the General format shows it: at most 11 characters, in
// scientific notation where the digits would not fit, like spreadsheet
// programs in a cell of the usual width and TEXT(x,"General").
QString generalText(double value);

}  // namespace velmora::formula
