#include "workbook/embedded/cellinput.h"

#include "workbook/cellvalue.h"
#include "workbook/embedded/workbookdocument.h"

namespace velmora {

namespace {

xls::CellState typedState(const QString& text) {
    if (text.startsWith(u'='))
        return {xls::CellState::Kind::Formula, text.mid(1), 0};
    const CellValue v = CellValue::typed(text);
    switch (v.kind) {
        case CellValue::Kind::Number:
            return {xls::CellState::Kind::Number, QString(), v.number};
        case CellValue::Kind::Text:
            return {xls::CellState::Kind::Text, v.text, 0};
        default:
            return {xls::CellState::Kind::Cleared, QString(), 0};
    }
}

// Whether typing the text gives exactly this text.
bool staysText(const QString& text) {
    return !text.isEmpty() && typedState(text).kind == xls::CellState::Kind::Text;
}

// The text after its leading apostrophes.
QString afterApostrophes(const QString& text) {
    qsizetype n = 0;
    while (n < text.size() && text[n] == u'\'') ++n;
    return text.mid(n);
}

}  // namespace

xls::CellState inputState(const QString& typed) {
    if (typed.startsWith(u'\'') && !staysText(afterApostrophes(typed)))
        return {xls::CellState::Kind::Text, typed.mid(1), 0};
    return typedState(typed);
}

QString inputText(const WorkbookDocument& document, int sheet, CellRef ref) {
    if (document.book().hasFormula(sheet, ref))
        return u'=' + document.book().formula(sheet, ref);
    const CellValue v = document.read(sheet, ref);
    if (v.kind == CellValue::Kind::Text && !staysText(afterApostrophes(v.text)))
        return u'\'' + v.text;
    return v.toText();
}

}  // namespace velmora
