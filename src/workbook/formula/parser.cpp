#include "workbook/formula/parser.h"

#include "workbook/formula/ptg.h"

#include <QRegularExpression>

namespace velmora::formula {

namespace {

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_' || c == u'\\';
}
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'\\' || c == u'?';
}

const struct {
    const char16_t* text;
    quint8 code;
} kErrors[] = {{u"#NULL!", err::kNull}, {u"#DIV/0!", err::kDiv0}, {u"#VALUE!", err::kValue},
               {u"#REF!", err::kRef},   {u"#NAME?", err::kName},  {u"#NUM!", err::kNum},
               {u"#N/A", err::kNA}};

class Parser {
public:
    explicit Parser(const QString& text) : s_(text) {}

    ParsedFormula run() {
        if (s_.size() > kMaxFormulaLength)
            fail(kMaxFormulaLength,
                 QStringLiteral("公式太长，最多 %1 个字符。").arg(kMaxFormulaLength));
        skipSpace();
        if (at_ >= s_.size())
            fail(at_, QStringLiteral("公式是空的。"));
        out_.root = comparison();
        skipSpace();
        if (at_ < s_.size()) {
            if (s_[at_] == u')')
                fail(at_, QStringLiteral("多了一个右括号“)”。"));
            fail(at_, QStringLiteral("无法理解“%1”。").arg(s_.mid(at_, 10)));
        }
        return std::move(out_);
    }

private:
    [[noreturn]] void fail(qsizetype at, const QString& message) {
        throw FormulaError{int(at), message};
    }

    void skipSpace() {
        while (at_ < s_.size() && (s_[at_] == u' ' || s_[at_] == u'\n' || s_[at_] == u'\r' ||
                                   s_[at_] == u'\t'))
            ++at_;
    }

    bool take(QStringView t) {
        skipSpace();
        if (QStringView(s_).mid(at_).startsWith(t)) {
            at_ += t.size();
            return true;
        }
        return false;
    }

    int add(Node n) {
        out_.nodes.push_back(std::move(n));
        return int(out_.nodes.size()) - 1;
    }

    int op(quint8 id, int position, std::vector<int> children) {
        Node n;
        n.kind = Node::Kind::Operator;
        n.op = id;
        n.position = position;
        n.children = std::move(children);
        return add(std::move(n));
    }

    struct Depth {
        Parser& p;
        explicit Depth(Parser& parser, qsizetype at) : p(parser) {
            if (++p.depth_ > kMaxNesting * 4)
                p.fail(at, QStringLiteral("公式嵌套太深。"));
        }
        ~Depth() { --p.depth_; }
    };

    int comparison() {
        int left = concat();
        while (true) {
            skipSpace();
            const qsizetype at = at_;
            quint8 id = 0;
            if (take(u"<="))
                id = ptg::kLe;
            else if (take(u">="))
                id = ptg::kGe;
            else if (take(u"<>"))
                id = ptg::kNe;
            else if (take(u"<"))
                id = ptg::kLt;
            else if (take(u">"))
                id = ptg::kGt;
            else if (take(u"="))
                id = ptg::kEq;
            else
                return left;
            left = op(id, int(at), {left, concat()});
        }
    }

    int concat() {
        int left = additive();
        while (true) {
            const qsizetype at = (skipSpace(), at_);
            if (!take(u"&"))
                return left;
            left = op(ptg::kConcat, int(at), {left, additive()});
        }
    }

    int additive() {
        int left = multiplicative();
        while (true) {
            const qsizetype at = (skipSpace(), at_);
            if (take(u"+"))
                left = op(ptg::kAdd, int(at), {left, multiplicative()});
            else if (take(u"-"))
                left = op(ptg::kSub, int(at), {left, multiplicative()});
            else
                return left;
        }
    }

    int multiplicative() {
        int left = power();
        while (true) {
            const qsizetype at = (skipSpace(), at_);
            if (take(u"*"))
                left = op(ptg::kMul, int(at), {left, power()});
            else if (take(u"/"))
                left = op(ptg::kDiv, int(at), {left, power()});
            else
                return left;
        }
    }

    int power() {
        int left = percent();
        while (true) {
            const qsizetype at = (skipSpace(), at_);
            if (!take(u"^"))
                return left;
            left = op(ptg::kPower, int(at), {left, percent()});
        }
    }

    int percent() {
        int operand = unary();
        while (true) {
            const qsizetype at = (skipSpace(), at_);
            if (!take(u"%"))
                return operand;
            operand = op(ptg::kPercent, int(at), {operand});
        }
    }

    int unary() {
        const qsizetype at = (skipSpace(), at_);
        Depth depth(*this, at);
        if (take(u"-"))
            return op(ptg::kUminus, int(at), {unary()});
        if (take(u"+"))
            return op(ptg::kUplus, int(at), {unary()});
        return reference();
    }

    // The reference operators: ':' between references and a blank between
    // two references (their intersection).
    int reference() {
        int left = primary();
        while (true) {
            const qsizetype before = at_;
            skipSpace();
            const qsizetype at = at_;
            if (take(u":")) {
                left = op(ptg::kRange, int(at), {left, primary()});
            } else if (at > before && at < s_.size() && isReference(left) && startsReference()) {
                left = op(ptg::kIsect, int(at), {left, primary()});
            } else {
                at_ = before;
                return left;
            }
        }
    }

    bool isReference(int node) const {
        const Node& n = out_.nodes[size_t(node)];
        return n.kind == Node::Kind::Reference || n.kind == Node::Kind::Name ||
               (n.kind == Node::Kind::Operator &&
                (n.op == ptg::kRange || n.op == ptg::kIsect || n.op == ptg::kParen));
    }

    bool startsReference() const {
        const QChar c = s_[at_];
        return c == u'$' || c == u'\'' || c.isLetter() || c.isDigit();
    }

    int primary() {
        skipSpace();
        const qsizetype at = at_;
        if (at_ >= s_.size())
            fail(at_, QStringLiteral("公式不完整。"));
        const QChar c = s_[at_];
        Depth depth(*this, at);
        if (c == u'(') {
            ++at_;
            int inner = comparison();
            // Inside parentheses a comma joins references into a union.
            while (take(u",")) inner = op(ptg::kUnion, int(at_ - 1), {inner, comparison()});
            if (!take(u")"))
                fail(at, QStringLiteral("左括号“(”没有对应的右括号“)”。"));
            return op(ptg::kParen, int(at), {inner});
        }
        if (c == u'"')
            return string();
        if (c == u'{')
            return array();
        if (c == u'#')
            return error();
        // A reference with or without a sheet in front.
        if (const int ref = referenceAt(); ref >= 0)
            return ref;
        if (c.isDigit() || c == u'.')
            return number();
        if (isNameStart(c))
            return word();
        fail(at, QStringLiteral("这里不能出现“%1”。").arg(c));
    }

    int referenceAt() {
        TextRef r;
        const qsizetype at = at_;
        const qsizetype prefix = readSheetPrefix(s_, at_, r.sheet, r.lastSheet);
        const qsizetype n = readArea(s_, at_ + prefix, r.first, r.last, r.area);
        if (n == 0) {
            if (prefix > 0) {
                // Sheet!name: a name of that sheet; Sheet!#REF!: a reference
                // that was lost, as formulas show one.
                at_ += prefix;
                if (QStringView(s_).mid(at_).startsWith(u"#REF!", Qt::CaseInsensitive))
                    return error();
                if (at_ < s_.size() && isNameStart(s_[at_]))
                    return word(r.sheet);
                fail(at_, QStringLiteral("工作表名称后面应当是单元格地址。"));
            }
            // Something that looks like a cell but lies outside the sheet.
            static const QRegularExpression cellLike(QStringLiteral("^\\$?[A-Za-z]{1,3}\\$?[0-9]+"));
            const auto m = cellLike.match(QStringView(s_).mid(at_));
            if (m.hasMatch() && (at_ + m.capturedLength() >= s_.size() ||
                                 !isNameChar(s_[at_ + m.capturedLength()])) &&
                !(at_ + m.capturedLength() < s_.size() && s_[at_ + m.capturedLength()] == u'('))
                fail(at_, QStringLiteral("“%1”超出了工作表的范围（最大到 IV65536）。")
                              .arg(m.captured(0)));
            return -1;
        }
        // A function named like a cell ("LOG10(") is no reference.
        if (prefix == 0 && at_ + n < s_.size() && s_[at_ + n] == u'(')
            return -1;
        at_ += prefix + n;
        Node node;
        node.kind = Node::Kind::Reference;
        node.position = int(at);
        node.reference = r;
        return add(std::move(node));
    }

    int string() {
        const qsizetype at = at_;
        ++at_;
        QString text;
        while (true) {
            if (at_ >= s_.size())
                fail(at, QStringLiteral("引号“\"”没有结束。"));
            if (s_[at_] == u'"') {
                if (at_ + 1 < s_.size() && s_[at_ + 1] == u'"') {
                    text += u'"';
                    at_ += 2;
                    continue;
                }
                ++at_;
                break;
            }
            text += s_[at_++];
        }
        if (text.size() > 255)
            fail(at, QStringLiteral("公式中的一段文字最多 255 个字符。"));
        Node n;
        n.kind = Node::Kind::Text;
        n.position = int(at);
        n.value = Value::ofText(text);
        return add(std::move(n));
    }

    int number() {
        const qsizetype at = at_;
        static const QRegularExpression pattern(
            QStringLiteral("^(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?"));
        const auto m = pattern.match(QStringView(s_).mid(at_));
        if (!m.hasMatch())
            fail(at, QStringLiteral("无法理解这个数字。"));
        bool ok = false;
        const double v = m.captured(0).toDouble(&ok);
        if (!ok || !std::isfinite(v))
            fail(at, QStringLiteral("数字太大。"));
        at_ += m.capturedLength();
        Node n;
        n.kind = Node::Kind::Number;
        n.position = int(at);
        n.value = Value::ofNumber(v);
        return add(std::move(n));
    }

    int error() {
        for (const auto& e : kErrors) {
            const QStringView t(e.text);
            if (QStringView(s_).mid(at_).startsWith(t, Qt::CaseInsensitive)) {
                Node n;
                n.kind = Node::Kind::Error;
                n.position = int(at_);
                n.value = Value::ofError(e.code);
                at_ += t.size();
                return add(std::move(n));
            }
        }
        fail(at_, QStringLiteral("无法理解这个错误值。"));
    }

    // A constant inside an array: a number (with its sign), a text, a
    // logical value or an error.
    Value constant() {
        skipSpace();
        const qsizetype at = at_;
        bool negative = false;
        if (take(u"-"))
            negative = true;
        else
            take(u"+");
        skipSpace();
        if (at_ >= s_.size())
            fail(at_, QStringLiteral("数组常量不完整。"));
        const QChar c = s_[at_];
        int node = -1;
        if (c == u'"' && !negative)
            node = string();
        else if (c == u'#' && !negative)
            node = error();
        else if (c.isDigit() || c == u'.')
            node = number();
        else if (take(u"TRUE") || take(u"true"))
            return Value::ofBoolean(true);
        else if (take(u"FALSE") || take(u"false"))
            return Value::ofBoolean(false);
        else
            fail(at, QStringLiteral("数组常量中只能有数字、文字、逻辑值和错误值。"));
        Value v = out_.nodes[size_t(node)].value;
        out_.nodes.pop_back();
        if (negative)
            v.number = -v.number;
        return v;
    }

    int array() {
        const qsizetype at = at_;
        ++at_;
        std::vector<std::vector<Value>> rows(1);
        while (true) {
            rows.back().push_back(constant());
            skipSpace();
            if (take(u","))
                continue;
            if (take(u";")) {
                rows.emplace_back();
                continue;
            }
            if (take(u"}"))
                break;
            fail(at_, QStringLiteral("数组常量应当以“}”结束。"));
        }
        for (const auto& r : rows)
            if (r.size() != rows[0].size())
                fail(at, QStringLiteral("数组常量的每一行应当一样长。"));
        if (rows[0].size() > 256 || rows.size() > 65536)
            fail(at, QStringLiteral("数组常量太大。"));
        Node n;
        n.kind = Node::Kind::Array;
        n.position = int(at);
        n.array = Matrix(int(rows.size()), int(rows[0].size()));
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size(); ++c) n.array.at(int(r), int(c)) = rows[r][c];
        return add(std::move(n));
    }

    // A function call, a logical value or a defined name (of a sheet, when
    // the text named one before it).
    int word(const QString& sheet = QString()) {
        const qsizetype at = at_;
        while (at_ < s_.size() && isNameChar(s_[at_])) ++at_;
        const QString name = s_.mid(at, at_ - at);
        const qsizetype after = at_;
        skipSpace();
        if (sheet.isEmpty() && at_ < s_.size() && s_[at_] == u'(') {
            ++at_;
            Node n;
            n.kind = Node::Kind::Function;
            n.position = int(at);
            n.name = name;
            skipSpace();
            if (!take(u")")) {
                while (true) {
                    skipSpace();
                    if (at_ < s_.size() && (s_[at_] == u',' || s_[at_] == u')')) {
                        Node missing;
                        missing.kind = Node::Kind::Missing;
                        missing.position = int(at_);
                        n.children.push_back(add(std::move(missing)));
                    } else {
                        n.children.push_back(comparison());
                    }
                    if (take(u","))
                        continue;
                    if (take(u")"))
                        break;
                    fail(at, QStringLiteral("函数 %1 的左括号“(”没有对应的右括号“)”。").arg(name));
                }
            }
            return add(std::move(n));
        }
        at_ = after;
        Node n;
        n.position = int(at);
        if (sheet.isEmpty() && name.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) {
            n.kind = Node::Kind::Boolean;
            n.value = Value::ofBoolean(true);
        } else if (sheet.isEmpty() &&
                   name.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
            n.kind = Node::Kind::Boolean;
            n.value = Value::ofBoolean(false);
        } else {
            n.kind = Node::Kind::Name;
            n.name = name;
            n.reference.sheet = sheet;
        }
        return add(std::move(n));
    }

    const QString& s_;
    qsizetype at_ = 0;
    int depth_ = 0;
    ParsedFormula out_;
};

}  // namespace

ParsedFormula parseFormula(const QString& text) {
    return Parser(text).run();
}

}  // namespace velmora::formula
