#include "workbook/formula/compiler.h"

#include "workbook/formula/arrayconstant.h"
#include "workbook/formula/functions.h"
#include "workbook/formula/library.h"
#include "workbook/formula/ptg.h"

#include <QtEndian>

namespace velmora::formula {

namespace {

// The largest token array a FORMULA record has room for.
constexpr int kMaxTokens = 8224 - 22 - 64;
// Arguments of a built-in function, as Excel 97-2003 allows.
constexpr int kMaxBuiltinArgs = 30;

enum class Want { Reference, Value, Array };

quint8 classOf(Want w) {
    switch (w) {
        case Want::Reference: return ptg::kClassRef;
        case Want::Value: return ptg::kClassValue;
        default: return ptg::kClassArray;
    }
}

void add16(QByteArray& b, int v) {
    char t[2];
    qToLittleEndian<quint16>(quint16(v), t);
    b.append(t, 2);
}

void put16(QByteArray& b, qsizetype at, int v) {
    qToLittleEndian<quint16>(quint16(v), b.data() + at);
}

// Row and column fields: the column's top bits say which parts are relative.
void addEnd(QByteArray& b, const RefEnd& e, bool rowField) {
    if (rowField) {
        add16(b, e.row);
    } else {
        add16(b, e.column | (e.rowRelative ? 0x8000 : 0) | (e.columnRelative ? 0x4000 : 0));
    }
}

class Compiler {
public:
    Compiler(const ParsedFormula& f, Links& links, int sheet) : f_(f), links_(links), sheet_(sheet) {}

    Compiled run() {
        emit(f_.root, Want::Value, false);
        if (out_.expression.tokens.size() > kMaxTokens)
            throw FormulaError{0, QStringLiteral("公式太复杂，无法存入 Excel 97-2003 工作簿。")};
        if (out_.isVolatile)
            out_.expression.tokens.prepend(QByteArray("\x19\x01\x00\x00", 4));
        return out_;
    }

private:
    [[noreturn]] void fail(const Node& n, const QString& message) {
        throw FormulaError{n.position, message};
    }

    QByteArray& tokens() { return out_.expression.tokens; }

    // Compiles a node in the class its place wants; forced: inside an
    // array argument, where values become arrays.
    void emit(int index, Want want, bool forced) {
        const Node& n = f_.nodes[size_t(index)];
        const Want valueWant = forced && want == Want::Value ? Want::Array : want;
        switch (n.kind) {
            case Node::Kind::Number: {
                const double v = n.value.number;
                if (v >= 0 && v <= 65535 && v == std::floor(v)) {
                    tokens().append(char(ptg::kInt));
                    add16(tokens(), int(v));
                } else {
                    tokens().append(char(ptg::kNum));
                    char t[8];
                    qToLittleEndian(v, t);
                    tokens().append(t, 8);
                }
                return;
            }
            case Node::Kind::Text: {
                const QString& t = n.value.text;
                tokens().append(char(ptg::kStr));
                tokens().append(char(t.size()));
                tokens().append(char(1));
                for (QChar c : t) add16(tokens(), c.unicode());
                return;
            }
            case Node::Kind::Boolean:
                tokens().append(char(ptg::kBool));
                tokens().append(char(n.value.code));
                return;
            case Node::Kind::Error:
                tokens().append(char(ptg::kErr));
                tokens().append(char(n.value.code));
                return;
            case Node::Kind::Missing:
                tokens().append(char(ptg::kMissArg));
                return;
            case Node::Kind::Array:
                tokens().append(char(ptg::withClass(ptg::kArray, classOf(valueWant))));
                tokens().append(QByteArray(7, '\0'));
                appendArrayConstant(out_.expression.extra, n.array);
                return;
            case Node::Kind::Reference:
                reference(n, valueWant);
                return;
            case Node::Kind::Name:
                name(n, valueWant);
                return;
            case Node::Kind::Function:
                function(n, want, forced);
                return;
            case Node::Kind::Operator:
                operation(n, want, forced);
                return;
        }
    }

    void operation(const Node& n, Want want, bool forced) {
        if (n.op == ptg::kParen) {
            emit(n.children[0], want, forced);
            tokens().append(char(ptg::kParen));
            return;
        }
        // Reference operators take references, the others values.
        const bool referenceOp = n.op == ptg::kRange || n.op == ptg::kIsect || n.op == ptg::kUnion;
        const Want operands = referenceOp ? Want::Reference : forced ? Want::Array : Want::Value;
        for (int child : n.children) emit(child, operands, forced);
        tokens().append(char(n.op));
    }

    void reference(const Node& n, Want want) {
        const TextRef& r = n.reference;
        const quint8 cls = classOf(want);
        if (r.sheet.isEmpty()) {
            tokens().append(char(ptg::withClass(r.area ? ptg::kArea : ptg::kRef, cls)));
        } else {
            const int first = links_.sheetIndex(r.sheet);
            if (first < 0)
                fail(n, QStringLiteral("工作簿中没有名为“%1”的工作表。").arg(r.sheet));
            int last = first;
            if (!r.lastSheet.isEmpty()) {
                last = links_.sheetIndex(r.lastSheet);
                if (last < 0)
                    fail(n, QStringLiteral("工作簿中没有名为“%1”的工作表。").arg(r.lastSheet));
            }
            tokens().append(char(ptg::withClass(r.area ? ptg::kArea3d : ptg::kRef3d, cls)));
            add16(tokens(), links_.externSheetFor(std::min(first, last), std::max(first, last)));
        }
        if (r.area) {
            addEnd(tokens(), r.first, true);
            addEnd(tokens(), r.last, true);
            addEnd(tokens(), r.first, false);
            addEnd(tokens(), r.last, false);
        } else {
            addEnd(tokens(), r.first, true);
            addEnd(tokens(), r.first, false);
        }
    }

    void name(const Node& n, Want want) {
        int sheet = sheet_;
        if (!n.reference.sheet.isEmpty()) {
            sheet = links_.sheetIndex(n.reference.sheet);
            if (sheet < 0)
                fail(n, QStringLiteral("工作簿中没有名为“%1”的工作表。").arg(n.reference.sheet));
        }
        const int index = links_.nameIndex(n.name, sheet);
        if (index < 0 || links_.names[size_t(index)].function)
            fail(n, QStringLiteral("工作簿中没有名为“%1”的名称。").arg(n.name));
        tokens().append(char(ptg::withClass(ptg::kName, classOf(want))));
        add16(tokens(), index + 1);
        add16(tokens(), 0);
    }

    void function(const Node& n, Want want, bool forced) {
        const FunctionInfo* info = functionByName(n.name);
        if (!info)
            fail(n, QStringLiteral("没有名为“%1”的函数。").arg(n.name));
        if (!functionImpl(info->id) && !functionImplByName(QString::fromLatin1(info->name)))
            fail(n, QStringLiteral("本程序不能计算函数 %1，不能存入使用它的公式。")
                        .arg(QString::fromLatin1(info->name)));
        const int count = int(n.children.size());
        const int most = info->storedByName() ? info->maxArgs : std::min(info->maxArgs, kMaxBuiltinArgs);
        if (count < info->minArgs || count > most)
            fail(n, info->minArgs == most
                        ? QStringLiteral("函数 %1 需要 %2 个参数。").arg(QString::fromLatin1(info->name)).arg(most)
                        : QStringLiteral("函数 %1 需要 %2 到 %3 个参数。")
                              .arg(QString::fromLatin1(info->name))
                              .arg(info->minArgs)
                              .arg(most));
        out_.isVolatile = out_.isVolatile || info->isVolatile;
        const QString fname = QString::fromLatin1(info->name);
        if (fname == QLatin1String("IF"))
            return ifCall(n, info, want, forced);
        if (fname == QLatin1String("CHOOSE"))
            return chooseCall(n, info, want, forced);
        if (info->storedByName()) {
            // The function's name comes first, as a name of the workbook.
            const int index = links_.functionName(QString::fromLatin1(kFuturePrefix) + fname);
            tokens().append(char(ptg::withClass(ptg::kName, ptg::kClassRef)));
            add16(tokens(), index + 1);
            add16(tokens(), 0);
        }
        arguments(n, info, forced);
        if (fname == QLatin1String("SUM") && count == 1) {
            tokens().append(QByteArray("\x19\x10\x00\x00", 4));  // a single SUM
            return;
        }
        call(info, count + (info->storedByName() ? 1 : 0), want, forced);
    }

    void arguments(const Node& n, const FunctionInfo* info, bool forced) {
        for (size_t i = 0; i < n.children.size(); ++i) emitArgument(n, info, int(i), forced);
    }

    void emitArgument(const Node& n, const FunctionInfo* info, int i, bool forced) {
        const char c = info->argClass(i);
        const Want want = c == 'R' ? Want::Reference : c == 'A' ? Want::Array : Want::Value;
        emit(n.children[size_t(i)], want, forced || c == 'A');
    }

    // The function token: tFunc for a fixed number of arguments, tFuncVar
    // with the count otherwise; its class from the function's result.
    void call(const FunctionInfo* info, int count, Want want, bool forced) {
        Want result = Want::Value;
        if (info->returnClass == 'A')
            result = Want::Array;
        else if (info->returnClass == 'R')
            result = want;
        if (forced && result == Want::Value)
            result = Want::Array;
        const quint8 cls = classOf(result);
        if (info->fixedArgs()) {
            tokens().append(char(ptg::withClass(ptg::kFunc, cls)));
            add16(tokens(), info->id);
        } else {
            tokens().append(char(ptg::withClass(ptg::kFuncVar, cls)));
            tokens().append(char(count));
            add16(tokens(), info->id);
        }
    }

    // IF: condition, tAttrIf jumping to the else part, the then part, a
    // tAttrGoto past the call (each branch ends with one), the call.
    void ifCall(const Node& n, const FunctionInfo* info, Want want, bool forced) {
        const int count = int(n.children.size());
        emitArgument(n, info, 0, forced);
        const qsizetype ifAt = tokens().size();
        tokens().append(QByteArray("\x19\x02\x00\x00", 4));
        std::vector<qsizetype> gotos;
        for (int i = 1; i < count; ++i) {
            const qsizetype start = tokens().size();
            emitArgument(n, info, i, forced);
            gotos.push_back(tokens().size());
            tokens().append(QByteArray("\x19\x08\x00\x00", 4));
            if (i == 1)
                put16(tokens(), ifAt + 2, int(tokens().size() - start));
        }
        call(info, count, want, forced);
        // A goto's offset is one less than the bytes from its end to the call's end.
        for (qsizetype g : gotos) put16(tokens(), g + 2, int(tokens().size() - (g + 4) - 1));
    }

    // CHOOSE: index, tAttrChoose with the offset of each choice (and of the
    // call) from the start of its table, each choice ending with a goto.
    void chooseCall(const Node& n, const FunctionInfo* info, Want want, bool forced) {
        const int count = int(n.children.size());
        emitArgument(n, info, 0, forced);
        const qsizetype attrAt = tokens().size();
        tokens().append(QByteArray("\x19\x04", 2));
        add16(tokens(), count - 1);
        const qsizetype table = tokens().size();
        tokens().append(QByteArray(2 * count, '\0'));
        std::vector<qsizetype> gotos;
        for (int i = 1; i < count; ++i) {
            put16(tokens(), table + 2 * (i - 1), int(tokens().size() - table));
            emitArgument(n, info, i, forced);
            gotos.push_back(tokens().size());
            tokens().append(QByteArray("\x19\x08\x00\x00", 4));
        }
        put16(tokens(), table + 2 * (count - 1), int(tokens().size() - table));
        Q_UNUSED(attrAt);
        call(info, count, want, forced);
        for (qsizetype g : gotos) put16(tokens(), g + 2, int(tokens().size() - (g + 4) - 1));
    }

    const ParsedFormula& f_;
    Links& links_;
    int sheet_;
    Compiled out_;
};

}  // namespace

Compiled compileFormula(const QString& text, Links& links, int sheet) {
    const ParsedFormula parsed = parseFormula(text);
    // Work on a copy: links change only when the whole formula compiles.
    Links working = links;
    Compiled c = Compiler(parsed, working, sheet).run();
    links = std::move(working);
    return c;
}

}  // namespace velmora::formula
