#include "workbook/formula/decompiler.h"

#include "workbook/cellref.h"
#include "workbook/formula/arrayconstant.h"
#include "workbook/formula/functions.h"
#include "workbook/formula/ptg.h"
#include "workbook/formula/value.h"

#include <QtEndian>
#include <cstring>
#include <vector>

namespace velmora::formula {

namespace {

// No spreadsheet program shows a formula longer than this; a longer text
// means hostile tokens, and stops the work before it grows without bound.
constexpr qsizetype kMaxText = 8192;

// Binding strength, strongest last.
enum Precedence {
    kCompare = 1,
    kConcat,
    kAdditive,
    kMultiplicative,
    kPower,
    kPercent,
    kUnary,
    kReference,  // : and the intersection and union operators
    kPrimary,
};

struct Part {
    QString text;
    int precedence = kPrimary;
};

struct Failure {
    QString why;
};

const char* binarySymbol(quint8 id, int& precedence) {
    switch (id) {
        case ptg::kAdd: precedence = kAdditive; return "+";
        case ptg::kSub: precedence = kAdditive; return "-";
        case ptg::kMul: precedence = kMultiplicative; return "*";
        case ptg::kDiv: precedence = kMultiplicative; return "/";
        case ptg::kPower: precedence = kPower; return "^";
        case ptg::kConcat: precedence = kConcat; return "&";
        case ptg::kLt: precedence = kCompare; return "<";
        case ptg::kLe: precedence = kCompare; return "<=";
        case ptg::kEq: precedence = kCompare; return "=";
        case ptg::kGe: precedence = kCompare; return ">=";
        case ptg::kGt: precedence = kCompare; return ">";
        case ptg::kNe: precedence = kCompare; return "<>";
        case ptg::kIsect: precedence = kReference; return " ";
        case ptg::kUnion: precedence = kReference; return ",";
        case ptg::kRange: precedence = kReference; return ":";
        default: return nullptr;
    }
}

QString quoted(const QString& s) {
    QString t = s;
    t.replace(u'"', QStringLiteral("\"\""));
    return u'"' + t + u'"';
}

QString errorName(quint8 code) {
    switch (code) {
        case err::kNull: return QStringLiteral("#NULL!");
        case err::kDiv0: return QStringLiteral("#DIV/0!");
        case err::kValue: return QStringLiteral("#VALUE!");
        case err::kRef: return QStringLiteral("#REF!");
        case err::kName: return QStringLiteral("#NAME?");
        case err::kNum: return QStringLiteral("#NUM!");
        case err::kNA: return QStringLiteral("#N/A");
        default: return QStringLiteral("#N/A");
    }
}

QString constantText(const Value& v) {
    switch (v.kind) {
        case Value::Kind::Number:
            return numberToText(v.number);
        case Value::Kind::Text:
            return quoted(v.text);
        case Value::Kind::Boolean:
            return v.code ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        case Value::Kind::Error:
            return errorName(v.code);
        case Value::Kind::Empty:
            break;
    }
    return QString();
}

// A path as SUPBOOK stores it, down to the file name: control characters
// separate its parts.
QString fileName(const QString& stored) {
    qsizetype cut = -1;
    for (qsizetype i = 0; i < stored.size(); ++i)
        if (stored[i].unicode() < 0x20 || stored[i] == u'/' || stored[i] == u'\\')
            cut = i;
    return stored.mid(cut + 1);
}

class Decompiler {
public:
    Decompiler(const Expression& e, const Links& links, const Site& site)
        : e_(e), links_(links), site_(site) {}

    QString run() {
        const char* p = e_.tokens.constData();
        const char* const end = p + e_.tokens.size();
        extra_ = e_.extra.constData();
        extraEnd_ = extra_ + e_.extra.size();
        while (p < end) {
            const int size = ptg::tokenSize(p, end);
            if (size < 0)
                throw Failure{QStringLiteral("0x%1").arg(quint8(*p), 2, 16, QLatin1Char('0'))};
            token(p);
            p += size;
        }
        if (stack_.size() != 1)
            throw Failure{QStringLiteral("stack")};
        return pending_ + stack_.back().text;
    }

private:
    Part pop() {
        if (stack_.empty())
            throw Failure{QStringLiteral("stack")};
        Part p = std::move(stack_.back());
        stack_.pop_back();
        return p;
    }

    void push(QString text, int precedence = kPrimary) {
        if (text.size() > kMaxText)
            throw Failure{QStringLiteral("length")};
        stack_.push_back({takeSpace() + text, precedence});
    }

    QString takeSpace() {
        QString s;
        s.swap(pending_);
        return s;
    }

    static QString wrap(const Part& p, bool needed) {
        return needed ? u'(' + p.text + u')' : p.text;
    }

    void token(const char* p) {
        const quint8 id = quint8(*p);
        const quint8 k = ptg::kind(id);
        int precedence = 0;
        if (const char* symbol = binarySymbol(id, precedence)) {
            const Part b = pop(), a = pop();
            QString text = wrap(a, a.precedence < precedence) + takeSpace() +
                           QLatin1String(symbol) +
                           wrap(b, b.precedence <= precedence && id != ptg::kRange &&
                                       id != ptg::kUnion && id != ptg::kIsect);
            push(std::move(text), precedence);
            return;
        }
        switch (k) {
            case ptg::kUplus:
            case ptg::kUminus: {
                const Part a = pop();
                push((k == ptg::kUplus ? u'+' : u'-') + wrap(a, a.precedence < kUnary), kUnary);
                return;
            }
            case ptg::kPercent: {
                const Part a = pop();
                push(wrap(a, a.precedence < kPercent) + u'%', kPercent);
                return;
            }
            case ptg::kParen: {
                const Part a = pop();
                push(u'(' + a.text + closeSpace_ + u')');
                closeSpace_.clear();
                return;
            }
            case ptg::kMissArg:
                push(QString());
                return;
            case ptg::kStr:
                push(quoted(ptg::tokenString(p)));
                return;
            case ptg::kErr:
                push(errorName(quint8(p[1])));
                return;
            case ptg::kBool:
                push(p[1] ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
                return;
            case ptg::kInt:
                push(QString::number(qFromLittleEndian<quint16>(p + 1)));
                return;
            case ptg::kNum:
                push(numberToText(qFromLittleEndian<double>(p + 1)));
                return;
            case ptg::kAttr:
                attribute(p);
                return;
            case ptg::kArray:
                arrayConstant();
                return;
            case ptg::kFunc:
            case ptg::kFuncVar:
                function(p, k);
                return;
            case ptg::kName:
                push(definedName(qFromLittleEndian<quint16>(p + 1)));
                return;
            case ptg::kNameX:
                push(externalName(qFromLittleEndian<quint16>(p + 1),
                                  qFromLittleEndian<quint16>(p + 3)));
                return;
            case ptg::kMemArea:
                if (!skipMemAreas(extra_, extraEnd_))
                    throw Failure{QStringLiteral("extra")};
                return;
            case ptg::kMemErr:
            case ptg::kMemNoMem:
            case ptg::kMemFunc:
                return;  // the subexpression that follows is what shows
            case ptg::kExp:
            case ptg::kTbl:
                throw Failure{QStringLiteral("0x%1").arg(id, 2, 16, QLatin1Char('0'))};
            default:
                break;
        }
        DecodedRef ref;
        if (!decodeReference(p, site_, ref))
            throw Failure{QStringLiteral("0x%1").arg(id, 2, 16, QLatin1Char('0'))};
        push(reference(ref));
    }

    void attribute(const char* p) {
        const quint8 kind = quint8(p[1]);
        if (kind & ptg::kAttrSum) {
            const Part a = pop();
            push(QStringLiteral("SUM(") + a.text + u')');
        } else if (kind & ptg::kAttrSpace) {
            // A count of blanks or line breaks typed before what follows.
            const int type = quint8(p[2]), count = quint8(p[3]);
            const QString run(count, type % 2 ? u'\n' : u' ');
            if (type <= 1)
                pending_ += run;
            else if (type <= 3)
                openSpace_ += run;
            else if (type <= 5)
                closeSpace_ += run;
        }
    }

    void arrayConstant() {
        Matrix m;
        if (!readArrayConstant(extra_, extraEnd_, m))
            throw Failure{QStringLiteral("array")};
        QString text = QStringLiteral("{");
        for (int r = 0; r < m.rows; ++r) {
            if (r > 0)
                text += u';';
            for (int c = 0; c < m.columns; ++c) {
                if (c > 0)
                    text += u',';
                text += constantText(m.at(r, c));
            }
            if (text.size() > kMaxText)
                throw Failure{QStringLiteral("length")};
        }
        push(text + u'}');
    }

    void function(const char* p, quint8 k) {
        int argc = 0, id = 0;
        if (k == ptg::kFunc) {
            id = qFromLittleEndian<quint16>(p + 1);
            const FunctionInfo* f = functionById(id);
            if (!f)
                throw Failure{QStringLiteral("function %1").arg(id)};
            argc = f->minArgs;
        } else {
            argc = quint8(p[1]) & 0x7F;
            id = qFromLittleEndian<quint16>(p + 2) & 0x7FFF;
        }
        if (argc > int(stack_.size()))
            throw Failure{QStringLiteral("stack")};
        std::vector<Part> args(stack_.end() - argc, stack_.end());
        stack_.resize(stack_.size() - size_t(argc));
        QString name;
        size_t first = 0;
        if (id == ptg::kUserFunction) {
            if (args.empty())
                throw Failure{QStringLiteral("function name")};
            name = args[0].text.trimmed();
            if (name.startsWith(QLatin1String(kFuturePrefix), Qt::CaseInsensitive))
                name.remove(0, qsizetype(std::strlen(kFuturePrefix)));
            first = 1;
        } else {
            const FunctionInfo* f = functionById(id);
            name = f ? QString::fromLatin1(f->name) : QStringLiteral("FUNC%1").arg(id);
        }
        QString text = name + openSpace_ + u'(';
        openSpace_.clear();
        for (size_t i = first; i < args.size(); ++i) {
            if (i > first)
                text += u',';
            // A union inside an argument list needs its parentheses.
            text += args[i].precedence == kReference && args[i].text.contains(u',')
                        ? u'(' + args[i].text + u')'
                        : args[i].text;
            if (text.size() > kMaxText)
                throw Failure{QStringLiteral("length")};
        }
        push(text + closeSpace_ + u')');
        closeSpace_.clear();
    }

    QString definedName(int index) const {
        if (index < 1 || size_t(index) > links_.names.size())
            return QStringLiteral("#NAME?");
        const DefinedName& n = links_.names[size_t(index - 1)];
        if (n.scope >= 0 && n.scope != site_.sheet && n.scope < links_.sheets.size())
            return quoteSheetName(links_.sheets[n.scope]) + u'!' + n.name;
        return n.name;
    }

    QString externalName(int externSheet, int index) const {
        if (externSheet < 0 || size_t(externSheet) >= links_.externSheets.size())
            return QStringLiteral("#NAME?");
        const int supbook = links_.externSheets[size_t(externSheet)].supbook;
        if (supbook < 0 || size_t(supbook) >= links_.supbooks.size())
            return QStringLiteral("#NAME?");
        const SupBook& book = links_.supbooks[size_t(supbook)];
        if (book.kind == SupBook::Kind::Self)
            return definedName(index);
        if (index < 1 || index > book.names.size())
            return QStringLiteral("#NAME?");
        const QString& name = book.names[index - 1];
        if (book.kind == SupBook::Kind::External)
            return u'[' + fileName(book.file) + u']' + name;
        return name;
    }

    QString reference(const DecodedRef& r) const {
        QString prefix;
        if (r.threeD)
            prefix = sheetPrefix(links_, r.externSheet);
        if (r.error)
            return prefix + QStringLiteral("#REF!");
        if (prefix == QLatin1String("#REF!"))
            return prefix;
        const RefEnd& a = r.first;
        const RefEnd& b = r.last;
        if (!r.area)
            return prefix + cellAddress(a.row, a.column, a.rowRelative, a.columnRelative);
        // Whole columns and whole rows show without the other part.
        if (a.row == 0 && b.row == kMaxRow)
            return prefix + (a.columnRelative ? "" : "$") + columnName(a.column) + u':' +
                   (b.columnRelative ? "" : "$") + columnName(b.column);
        if (a.column == 0 && b.column == kMaxColumn)
            return prefix + (a.rowRelative ? "" : "$") + QString::number(a.row + 1) + u':' +
                   (b.rowRelative ? "" : "$") + QString::number(b.row + 1);
        return prefix + cellAddress(a.row, a.column, a.rowRelative, a.columnRelative) + u':' +
               cellAddress(b.row, b.column, b.rowRelative, b.columnRelative);
    }

    const Expression& e_;
    const Links& links_;
    const Site site_;
    const char* extra_ = nullptr;
    const char* extraEnd_ = nullptr;
    std::vector<Part> stack_;
    QString pending_, openSpace_, closeSpace_;
};

}  // namespace

QString sheetPrefix(const Links& links, int externSheet) {
    if (externSheet < 0 || size_t(externSheet) >= links.externSheets.size())
        return QStringLiteral("#REF!");
    const ExternSheet& e = links.externSheets[size_t(externSheet)];
    if (e.supbook < 0 || size_t(e.supbook) >= links.supbooks.size())
        return QStringLiteral("#REF!");
    const SupBook& book = links.supbooks[size_t(e.supbook)];
    if (book.kind == SupBook::Kind::Self) {
        if (e.firstSheet < 0 || e.firstSheet >= links.sheets.size() || e.lastSheet < 0 ||
            e.lastSheet >= links.sheets.size())
            return QStringLiteral("#REF!");
        const QString& first = links.sheets[e.firstSheet];
        if (e.firstSheet == e.lastSheet)
            return quoteSheetName(first) + u'!';
        const QString span = first + u':' + links.sheets[e.lastSheet];
        const bool plain = quoteSheetName(first) == first &&
                           quoteSheetName(links.sheets[e.lastSheet]) == links.sheets[e.lastSheet];
        return (plain ? span : quoteSheetName(span)) + u'!';
    }
    if (book.kind == SupBook::Kind::External) {
        const QString sheet = e.firstSheet >= 0 && e.firstSheet < book.sheetNames.size()
                                  ? book.sheetNames[e.firstSheet]
                                  : QString();
        const QString text = u'[' + fileName(book.file) + u']' + sheet;
        return (quoteSheetName(sheet) == sheet && !text.contains(u' ') ? text
                                                                      : quoteSheetName(text)) +
               u'!';
    }
    return QStringLiteral("#REF!");
}

QString decompile(const Expression& expression, const Links& links, const Site& site, bool* ok) {
    if (ok)
        *ok = true;
    try {
        return Decompiler(expression, links, site).run();
    } catch (const Failure& f) {
        if (ok)
            *ok = false;
        return QStringLiteral("#无法读取的公式(%1)").arg(f.why);
    }
}

}  // namespace velmora::formula
