#pragma once

#include <QString>
#include <memory>
#include <vector>

// The values a calculation works with: what a cell holds (Value), and what
// the evaluator's stack holds (Operand): a value, a reference to cells or an
// array of values.
namespace velmora::formula {

// Error values by their BIFF8 code.
namespace err {
inline constexpr quint8 kNull = 0x00, kDiv0 = 0x07, kValue = 0x0F, kRef = 0x17, kName = 0x1D,
                        kNum = 0x24, kNA = 0x2A;
}

struct Value {
    enum class Kind : quint8 { Empty, Number, Text, Boolean, Error };
    Kind kind = Kind::Empty;
    quint8 code = 0;  // Boolean: 0 or 1; Error: the error code
    double number = 0;
    QString text;

    static Value ofNumber(double n);
    static Value ofText(const QString& t);
    static Value ofBoolean(bool b);
    static Value ofError(quint8 code);

    bool isEmpty() const { return kind == Kind::Empty; }
    bool isNumber() const { return kind == Kind::Number; }
    bool isText() const { return kind == Kind::Text; }
    bool isBoolean() const { return kind == Kind::Boolean; }
    bool isError() const { return kind == Kind::Error; }

    // Exactly the same value (numbers bit for bit, texts with case).
    bool same(const Value& other) const;
};

// A rectangle of cells on one sheet or on a span of sheets (book sheet
// indices, rows and columns 0-based, last ones included).
struct Area {
    int sheet = 0, lastSheet = 0;
    int row = 0, column = 0, lastRow = 0, lastColumn = 0;

    int rows() const { return lastRow - row + 1; }
    int columns() const { return lastColumn - column + 1; }
    bool isCell() const { return row == lastRow && column == lastColumn && sheet == lastSheet; }
    bool contains(int s, int r, int c) const {
        return s >= sheet && s <= lastSheet && r >= row && r <= lastRow && c >= column &&
               c <= lastColumn;
    }
};

struct Matrix {
    int rows = 0, columns = 0;
    std::vector<Value> cells;  // row by row

    Matrix() = default;
    Matrix(int r, int c) : rows(r), columns(c), cells(size_t(r) * size_t(c)) {}
    const Value& at(int r, int c) const { return cells[size_t(r) * size_t(columns) + size_t(c)]; }
    Value& at(int r, int c) { return cells[size_t(r) * size_t(columns) + size_t(c)]; }
};

struct Operand {
    enum class Kind : quint8 { Value, Reference, Array };
    Kind kind = Kind::Value;
    Value value;
    std::vector<Area> areas;  // Reference: one area, several for a union
    std::shared_ptr<const Matrix> array;
    bool missing = false;  // an argument left out (tMissArg)
    QString functionName;  // a name token naming a function ("_xlfn.IFERROR")

    Operand() = default;
    Operand(Value v) : value(std::move(v)) {}  // NOLINT: a value is an operand
    static Operand reference(const Area& a);
    static Operand matrix(Matrix m);

    bool isReference() const { return kind == Kind::Reference; }
    bool isArray() const { return kind == Kind::Array; }
    bool isError() const { return kind == Kind::Value && value.isError(); }
};

// Excel's conversions. Each gives an error value where Excel gives one.
// Text to number: "12", " -1.5e3 ", "1,234", "50%", "2003-9-1", "8:30".
bool textToNumber(QStringView text, double& out, bool date1904 = false);
Value toNumber(const Value& v, bool date1904 = false);  // Number or Error
Value toText(const Value& v);                            // Text or Error
Value toBoolean(const Value& v);                         // Boolean or Error
// A number as a General cell shows it: 15 significant digits.
QString numberToText(double n);

// Orders two values as Excel's comparison operators do: numbers before
// texts before booleans, texts without regard to case, an empty cell as 0,
// "" or FALSE. Returns <0, 0, >0; errors are the caller's business.
int compareValues(const Value& a, const Value& b);

// Sums and differences that cancel out to within the last bits of the
// operands are 0, as in spreadsheet programs (0.1+0.2-0.3 is 0).
double addNumbers(double a, double b);
bool nearlyEqual(double a, double b);

}  // namespace velmora::formula
