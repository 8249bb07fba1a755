#pragma once

#include <QString>

// A page header or footer as spreadsheet programs keep it: one text with
// &-codes that switch between its left, centre and right parts (&L &C &R;
// text before any of them is centred), put in the page number (&P), the
// number of pages (&N), the sheet's name (&A), the file's name (&F, &Z its
// folder), the date (&D) and the time (&T), set the size (&12) and bold (&B),
// and pick a font (&"宋体,常规"). && is an ampersand; other codes are left out.
namespace velmora {

struct PageFields {
    int page = 1, pages = 1;
    QString sheet, file, folder;
    QString date, time;
};

struct HeaderPart {
    QString text;
    double points = 0;  // 0: the default size
    bool bold = false;
};

struct HeaderParts {
    HeaderPart left, centre, right;
    bool isEmpty() const {
        return left.text.isEmpty() && centre.text.isEmpty() && right.text.isEmpty();
    }
};

HeaderParts headerParts(const QString& codes, const PageFields& fields);

}  // namespace velmora
