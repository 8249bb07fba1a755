#include "workbook/xls/linkrecords.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/xlserror.h"
#include "workbook/xls/xlstring.h"

namespace velmora::xls {

namespace {

using formula::DefinedName;
using formula::ExternSheet;
using formula::SupBook;

// SUPBOOK: sheet count, then 0x0401 for this workbook, 0x3A01 for add-in
// functions, or the length of another workbook's path followed by the path
// and the names of its sheets.
SupBook readSupBook(RecordReader& in) {
    SupBook book;
    const int sheets = in.u16();
    const int marker = in.u16();
    if (marker == 0x0401) {
        book.kind = SupBook::Kind::Self;
    } else if (marker == 0x3A01) {
        book.kind = SupBook::Kind::AddIn;
    } else {
        book.kind = SupBook::Kind::External;
        const quint8 flags = in.u8();
        book.file = in.chars(marker, flags & 1);
        for (int i = 0; i < sheets && !in.atEnd(); ++i)
            book.sheetNames << readUnicodeString(in, 2);
    }
    return book;
}

// EXTERNNAME: flags, 4 bytes, then the name with a 1-byte count.
QString readExternName(RecordReader& in) {
    in.skip(6);
    return readUnicodeString(in, 1);
}

QString builtinName(int code) {
    static const char* const names[] = {
        "Consolidate_Area", "Auto_Open",     "Auto_Close",      "Extract",
        "Database",         "Criteria",      "Print_Area",      "Print_Titles",
        "Recorder",         "Data_Form",     "Auto_Activate",   "Auto_Deactivate",
        "Sheet_Title",      "_FilterDatabase"};
    return code >= 0 && code < int(std::size(names)) ? QString::fromLatin1(names[code])
                                                     : QStringLiteral("_Builtin%1").arg(code);
}

// NAME: flags, shortcut key, name length, formula length, 2 bytes, the
// sheet it belongs to (1-based, 0 for the workbook), 4 bytes, the name
// (a flag byte and its characters; built-in names are one code), the
// formula's tokens and the data after them.
DefinedName readName(RecordReader& in, qint64 size) {
    DefinedName n;
    const quint16 flags = in.u16();
    in.u8();
    const int length = in.u8();
    const int cce = in.u16();
    in.u16();
    n.scope = in.u16() - 1;
    in.skip(4);
    const quint8 wide = in.u8();
    const QString name = in.chars(length, wide & 1);
    n.name = (flags & 0x0020) && !name.isEmpty() ? builtinName(name[0].unicode()) : name;
    n.function = flags & 0x0002;
    const qint64 used = 15 + qint64(length) * ((wide & 1) ? 2 : 1);
    if (size - used >= cce) {
        n.expression.tokens = in.bytes(cce);
        n.expression.extra = in.bytes(size - used - cce);
    }
    return n;
}

}  // namespace

formula::Links readLinks(const QByteArray& stream, const std::vector<Record>& globals,
                         const QStringList& sheetNames) {
    formula::Links links;
    links.sheets = sheetNames;
    for (size_t i = 0; i < globals.size(); ++i) {
        const quint16 type = globals[i].type;
        if (type != rt::kSupBook && type != rt::kExternName && type != rt::kExternSheet &&
            type != rt::kName)
            continue;
        try {
            RecordReader in(stream, globals, i);
            if (type == rt::kSupBook) {
                links.supbooks.push_back(readSupBook(in));
            } else if (type == rt::kExternName && !links.supbooks.empty()) {
                links.supbooks.back().names << readExternName(in);
            } else if (type == rt::kExternSheet) {
                const int count = in.u16();
                for (int e = 0; e < count; ++e) {
                    ExternSheet x;
                    x.supbook = in.u16();
                    const int first = in.u16(), last = in.u16();
                    // 0xFFFE: the workbook itself, 0xFFFF: a deleted sheet.
                    x.firstSheet = first >= 0xFFFE ? formula::kDeletedSheet : first;
                    x.lastSheet = last >= 0xFFFE ? formula::kDeletedSheet : last;
                    links.externSheets.push_back(x);
                }
            } else if (type == rt::kName) {
                links.names.push_back(readName(in, continuedSize(globals, i)));
            }
        } catch (const XlsError&) {
            // Cut short: what was read stays, the rest is left out. A NAME
            // keeps its place so that later names keep their numbers.
            if (type == rt::kName)
                links.names.push_back(DefinedName{QStringLiteral("#NAME?"), -1, {}, false});
        }
    }
    return links;
}

QByteArray ownSupBookRecord(int sheetCount) {
    QByteArray b;
    add16(b, quint16(sheetCount));
    add16(b, 0x0401);
    return makeRecord(rt::kSupBook, b);
}

QByteArray externSheetRecord(const std::vector<ExternSheet>& entries) {
    if (2 + 6 * qint64(entries.size()) > kMaxRecordBody)
        throw XlsError(QStringLiteral("工作簿引用的工作表太多，无法保存。"));
    QByteArray b;
    add16(b, quint16(entries.size()));
    for (const ExternSheet& e : entries) {
        add16(b, quint16(e.supbook));
        add16(b, quint16(e.firstSheet < 0 ? 0xFFFF : e.firstSheet));
        add16(b, quint16(e.lastSheet < 0 ? 0xFFFF : e.lastSheet));
    }
    return makeRecord(rt::kExternSheet, b);
}

// A hidden name of a function, as Excel writes for newer functions: its
// formula is #NAME? for programs that do not know the function.
QByteArray functionNameRecord(const DefinedName& name) {
    QByteArray b;
    add16(b, 0x000B);  // hidden, a function, a procedure
    add8(b, 0);
    add8(b, quint8(name.name.size()));
    add16(b, 2);
    add16(b, 0);
    add16(b, 0);
    add32(b, 0);
    add8(b, 0);
    b.append(name.name.toLatin1());
    add8(b, 0x1C);  // tErr
    add8(b, 0x1D);  // #NAME?
    return makeRecord(rt::kName, b);
}

}  // namespace velmora::xls
