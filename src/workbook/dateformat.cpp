#include "workbook/dateformat.h"

namespace velmora {

bool isDateFormatCode(const QString& code) {
    // Only the parts that are not literal text count: quoted strings,
    // escaped characters, fill and padding characters and everything in
    // brackets (colours, conditions, locales, elapsed-time counts) are skipped.
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            i = end < 0 ? code.size() : end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i + 1);
            i = end < 0 ? code.size() : end;
        } else {
            const char16_t l = c.toLower().unicode();
            if (l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's')
                return true;
        }
    }
    return false;
}

}  // namespace velmora
