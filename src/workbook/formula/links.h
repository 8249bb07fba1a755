#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// What the indices inside formula tokens refer to: the workbook's sheets,
// its EXTERNSHEET entries (sheets of this or another workbook, reached
// through SUPBOOK records), its defined names (NAME) and the names of
// other workbooks and add-ins (EXTERNNAME). Formulas typed in may add
// EXTERNSHEET entries and names; the writer stores what was added.
namespace velmora::formula {

// A formula's tokens (rgce) and the data some tokens keep after them
// (rgcb: array constants, the areas of tMemArea).
struct Expression {
    QByteArray tokens;
    QByteArray extra;
};

struct SupBook {
    enum class Kind { Self, External, AddIn, Other };
    Kind kind = Kind::Other;
    QString file;            // another workbook: its path as stored
    QStringList sheetNames;  // another workbook's sheets
    QStringList names;       // EXTERNNAME records, in order
};

struct ExternSheet {
    int supbook = -1;
    // Sheet indices in the supporting workbook; for this workbook, indices
    // of its sheets. kDeleted for a sheet that no longer exists.
    int firstSheet = 0, lastSheet = 0;
};
inline constexpr int kDeletedSheet = -1;

struct DefinedName {
    QString name;    // built-in names by their English name ("Print_Area")
    int scope = -1;  // -1: the workbook; else the sheet it belongs to
    Expression expression;
    bool function = false;  // the name of a function (a newer one: "_xlfn.IFERROR")
};

class Links {
public:
    QStringList sheets;  // every sheet of the workbook, in order
    std::vector<SupBook> supbooks;
    std::vector<ExternSheet> externSheets;
    std::vector<DefinedName> names;  // tName index 1 is names[0]

    // The sheet of this name, compared without regard to case; -1 if none.
    int sheetIndex(QStringView name) const;
    // The defined name visible from a sheet (its own first, then the
    // workbook's); -1 if none. Returns an index into names.
    int nameIndex(QStringView name, int fromSheet) const;
    int selfSupbook() const;

    // The EXTERNSHEET entry of a span of this workbook's sheets, added when
    // missing (with the workbook's own SUPBOOK when it has none).
    int externSheetFor(int firstSheet, int lastSheet);
    // The NAME of a function stored by name ("_xlfn.IFERROR"), added when
    // missing. Returns an index into names.
    int functionName(const QString& storedName);
};

// A sheet name as formulas write it: quoted ('打印到班主任工作笔记上 ') when
// it holds anything but letters, digits, '_' and '.', starts with a digit,
// or could be read as a cell address.
QString quoteSheetName(const QString& name);
// "A1", "$A$1", "A$1".
QString cellAddress(int row, int column, bool rowRelative, bool columnRelative);

}  // namespace velmora::formula
