#pragma once

#include <QString>

// The tokens of a BIFF8 formula (its "parsed expression", Ptg by Ptg, in
// reverse Polish order) and how long each one is.
namespace velmora::formula::ptg {

// Tokens without an operand class.
inline constexpr quint8 kExp = 0x01, kTbl = 0x02, kAdd = 0x03, kSub = 0x04, kMul = 0x05,
                        kDiv = 0x06, kPower = 0x07, kConcat = 0x08, kLt = 0x09, kLe = 0x0A,
                        kEq = 0x0B, kGe = 0x0C, kGt = 0x0D, kNe = 0x0E, kIsect = 0x0F,
                        kUnion = 0x10, kRange = 0x11, kUplus = 0x12, kUminus = 0x13,
                        kPercent = 0x14, kParen = 0x15, kMissArg = 0x16, kStr = 0x17,
                        kExtended = 0x18, kAttr = 0x19, kErr = 0x1C, kBool = 0x1D, kInt = 0x1E,
                        kNum = 0x1F;

// Tokens with an operand class, named by their reference-class id; the
// class lives in bits 5-6 (kind() strips it).
inline constexpr quint8 kArray = 0x20, kFunc = 0x21, kFuncVar = 0x22, kName = 0x23, kRef = 0x24,
                        kArea = 0x25, kMemArea = 0x26, kMemErr = 0x27, kMemNoMem = 0x28,
                        kMemFunc = 0x29, kRefErr = 0x2A, kAreaErr = 0x2B, kRefN = 0x2C,
                        kAreaN = 0x2D, kNameX = 0x39, kRef3d = 0x3A, kArea3d = 0x3B,
                        kRefErr3d = 0x3C, kAreaErr3d = 0x3D;

// Operand classes.
inline constexpr quint8 kClassRef = 0x20, kClassValue = 0x40, kClassArray = 0x60;

// tAttr kinds (the byte after the id).
inline constexpr quint8 kAttrVolatile = 0x01, kAttrIf = 0x02, kAttrChoose = 0x04,
                        kAttrGoto = 0x08, kAttrSum = 0x10, kAttrBaxcel = 0x20,
                        kAttrSpace = 0x40;

// The token's kind: the id itself for unclassed tokens, the reference-class
// id for classed ones.
inline quint8 kind(quint8 id) {
    return id < 0x20 ? id : quint8((id & 0x1F) | 0x20);
}
inline quint8 operandClass(quint8 id) {
    return id < 0x20 ? 0 : quint8(id & 0x60);
}
inline quint8 withClass(quint8 kind, quint8 cls) {
    return quint8((kind & 0x1F) | cls);
}

// Bytes the token at p takes (id included), reading no further than end;
// -1 for a token this format does not define or one cut off by end.
int tokenSize(const char* p, const char* end);

// The text of a tStr token at p (whole token checked by the caller).
QString tokenString(const char* p);

// A function id inside tFunc / tFuncVar: the top bit of tFuncVar's id marks
// a command-equivalent function.
inline constexpr int kUserFunction = 255;

}  // namespace velmora::formula::ptg
