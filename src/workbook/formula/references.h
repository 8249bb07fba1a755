#pragma once

#include <QtGlobal>

// Reference tokens decoded: tRef, tArea and their relative (tRefN, tAreaN),
// 3-D and error forms.
namespace velmora::formula {

// Where a formula is evaluated or shown: its sheet and cell. In shared
// formulas and defined names the relative parts of references are offsets
// from that cell, in other formulas they are positions.
struct Site {
    int sheet = 0, row = 0, column = 0;
    bool offsets = false;
};

struct RefEnd {
    int row = 0, column = 0;
    bool rowRelative = false, columnRelative = false;
};

struct DecodedRef {
    RefEnd first, last;  // last == first for a single cell
    bool area = false;
    bool threeD = false;
    int externSheet = -1;  // 3-D: the EXTERNSHEET entry
    bool error = false;    // tRefErr, tAreaErr and their 3-D forms: #REF!
};

inline constexpr int kMaxRow = 65535, kMaxColumn = 255;

// Decodes the reference token at p (its id byte first); the caller has
// checked that the whole token is there. False for a token that is no
// reference.
bool decodeReference(const char* p, const Site& site, DecodedRef& out);

}  // namespace velmora::formula
