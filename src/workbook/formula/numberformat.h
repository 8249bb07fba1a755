#pragma once

#include <QString>
#include <optional>

// Number format codes as TEXT applies them: digits ("0", "0.00", "#,##0"),
// percentages ("0%"), scientific notation ("0.00E+00"), dates and times
// ("yyyy-mm-dd", "yyyy\"年\"m\"月\"d\"日\"", "h:mm:ss"), literal text,
// sections for positive;negative;zero;text.
namespace velmora::formula {

struct Formatted {
    bool ok = true;      // false: the code holds what this engine does not do
    bool error = false;  // #VALUE! (a negative number as a date)
    QString text;
};

Formatted formatNumber(double value, const QString& code, bool date1904);
// A text through a code's text section ('@'); the text itself without one.
QString formatText(const QString& text, const QString& code);
// A number as the General format shows it in at most 11 characters.
QString generalText(double value);

}  // namespace velmora::formula
