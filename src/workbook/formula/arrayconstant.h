#pragma once

#include "workbook/formula/value.h"

#include <QByteArray>

// The data a formula keeps after its tokens (rgcb), in the order of the
// tokens that own it: each tArray's constant ({1,2;3,4}) and each
// tMemArea's list of areas.
namespace velmora::formula {

// Reads one array constant at p, moving p past it; false when the data is
// cut short or malformed. Never allocates more than the data can describe.
bool readArrayConstant(const char*& p, const char* end, Matrix& out);
// Moves p past a tMemArea's areas; false when cut short.
bool skipMemAreas(const char*& p, const char* end);
void appendArrayConstant(QByteArray& extra, const Matrix& m);

}  // namespace velmora::formula
