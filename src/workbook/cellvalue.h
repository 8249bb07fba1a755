#pragma once

#include <QString>

namespace velmora {

// What a cell holds, as the host hands it over. Windows never look at the kind:
// they take toText(), which applies the program's one set of cell-text rules.
struct CellValue {
    enum class Kind { Empty, Text, Number, Boolean, Error };

    Kind kind = Kind::Empty;
    QString text;          // Kind::Text
    double number = 0;     // Kind::Number (a date serial of the 1900 system when isDate)
    bool boolean = false;  // Kind::Boolean
    quint8 error = 0;      // Kind::Error: the BIFF error code (0x07 is #DIV/0!)
    bool isDate = false;   // Kind::Number shown through a date or time format

    static CellValue makeText(const QString& t);
    static CellValue makeNumber(double n, bool date = false);
    static CellValue makeBoolean(bool b);
    static CellValue makeError(quint8 code);

    // The value a person typing the text into a cell would get: the empty text
    // empties the cell, a plain decimal number ("12", "-3.5", and in
    // full-width digits, sign and point "１２０", "－３．５") becomes a
    // number, anything else stays text.
    static CellValue typed(const QString& t);

    bool isEmpty() const { return kind == Kind::Empty; }
    QString toText() const;

    friend bool operator==(const CellValue&, const CellValue&) = default;
};

// The cell-text rules, also used where a host has a raw number at hand.
QString numberText(double n);             // 12, 0.5, -3.25, 1E+20, 1.5E-07
QString dateText(double serial);          // 2003-9-1, 2003-9-1 8:05:00, 8:05:00
QString errorText(quint8 code);           // #DIV/0!, #N/A, ...

}  // namespace velmora
