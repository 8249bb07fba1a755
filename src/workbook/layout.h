#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The class workbook as the program sees it: sheet names, the columns and
// fixed cells each window uses, and the rules that turn a student or entry
// number into a row and an address.
namespace velmora::layout {

// Sheets the windows read and write. Names are exact: compared as stored.
inline const QString kArchiveSheet = QStringLiteral("学生档案");
inline const QString kScoresSheet = QStringLiteral("各科成绩");
inline const QString kCommentsSheet = QStringLiteral("写评语");
inline const QString kListsSheet = QStringLiteral("Sheet1");
inline const QString kSettingsSheet = QStringLiteral("设置");
// Sheets only brought to the front by the console.
inline const QString kRatesSheet = QStringLiteral("率");
inline const QString kHandbookSheet = QStringLiteral("初三用");
inline const QString kRecordCardSheet = QStringLiteral("打印到学籍卡上");
inline const QString kNotebookSheet = QStringLiteral("打印到班主任工作笔记上 ");  // ends in a blank

// "学生档案": one row per student in A..AV; column Q belongs to no field.
inline const QString kArchiveNumberColumn = QStringLiteral("A");
inline const QString kArchiveRollColumn = QStringLiteral("B");
inline const QString kArchiveUnusedColumn = QStringLiteral("Q");
// The 47 record-card columns in their order: A..P, R..AV.
QStringList archiveColumns();

// "各科成绩": sixteen subject columns C..R, headings in row 1.
inline constexpr int kHeadingRow = 1;
QStringList scoreColumns();

// "写评语"
inline const QString kCommentsIdentityColumn = QStringLiteral("B");
inline const QString kCommentsTextColumn = QStringLiteral("C");
inline const QString kCommentColumn = QStringLiteral("AM");

// "Sheet1": numbered lists
inline const QString kPlanColumn = QStringLiteral("AJ");
inline const QString kSummaryColumn = QStringLiteral("AU");
inline const QString kLibraryGoodColumn = QStringLiteral("BN");  // 优
inline const QString kLibraryFairColumn = QStringLiteral("BP");  // 良
inline const QString kLibraryPoorColumn = QStringLiteral("BR");  // 差

// "设置": fixed cells
inline const QString kSchoolCell = QStringLiteral("C4");
inline const QString kTermCell = QStringLiteral("C5");
inline const QString kClassCell = QStringLiteral("C6");
inline const QString kTeacherCell = QStringLiteral("C7");
inline constexpr int kSubjectRow = 11;
inline constexpr int kFullScoreRow = 12;
// The thirteen subject columns B..N of rows 11 and 12.
QStringList subjectColumns();

// Student and entry numbers: a whole number from 1 to 65535, so that its row
// (the number plus one) stays inside an .xls sheet and row 1, the headings,
// is never reached.
inline constexpr int kMaxNumber = 65535;

// The one check of a number box's text: blanks around the digits and
// full-width digits allowed; anything else (letters, signs, fractions, 0,
// past kMaxNumber, the empty text) gives nullopt.
std::optional<int> parseNumber(QStringView text);

// Row of student or entry number n: n + 1.
constexpr int rowOf(int number) { return number + 1; }
// "AM" and 6 give "AM6".
QString address(const QString& column, int row);

}  // namespace velmora::layout
