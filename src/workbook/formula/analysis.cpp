#include "workbook/formula/analysis.h"

#include "workbook/formula/evaluator.h"
#include "workbook/formula/functions.h"
#include "workbook/formula/library.h"
#include "workbook/formula/ptg.h"

#include <QtEndian>

namespace velmora::formula {

namespace {

constexpr int kMaxNameDepth = 8;

quint16 at16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}

void analyse(const Expression& e, const Site& site, const Links& links, int depth,
             FormulaFacts& facts);

void functionName(const QString& name, FormulaFacts& facts) {
    if (!functionImplByName(name))
        facts.computable = false;
    // RANDBETWEEN is an add-in function to the format, volatile as RAND is.
    const FunctionInfo* f = functionByName(name);
    if ((f && f->isVolatile) || name.endsWith(QLatin1String("RANDBETWEEN"), Qt::CaseInsensitive))
        facts.isVolatile = true;
}

void definedName(int index, const Site& site, const Links& links, int depth,
                 FormulaFacts& facts) {
    if (index < 1 || size_t(index) > links.names.size())
        return;  // #NAME?
    const DefinedName& n = links.names[size_t(index - 1)];
    if (n.function) {
        functionName(n.name, facts);
    } else if (depth >= kMaxNameDepth) {
        facts.computable = false;
    } else {
        Site at = site;
        at.offsets = true;
        analyse(n.expression, at, links, depth + 1, facts);
    }
}

// Functions that look at where a reference lies or how large it is, never
// at the values inside: their references are no precedents (ROW(B5) in B5
// reads nothing).
bool positional(const FunctionInfo* f) {
    if (!f)
        return false;
    const QLatin1String name(f->name);
    return name == QLatin1String("ROW") || name == QLatin1String("COLUMN") ||
           name == QLatin1String("ROWS") || name == QLatin1String("COLUMNS") ||
           name == QLatin1String("AREAS") || name == QLatin1String("ISREF");
}

// Walks the tokens as the evaluator would, keeping per operand the cells it
// reads, so that what a function consumes is known.
void analyse(const Expression& e, const Site& site, const Links& links, int depth,
             FormulaFacts& facts) {
    std::vector<std::vector<Area>> stack;
    const auto merge = [&](size_t n) {
        n = std::min(n, stack.size());
        std::vector<Area> out;
        for (size_t i = stack.size() - n; i < stack.size(); ++i)
            out.insert(out.end(), stack[i].begin(), stack[i].end());
        stack.resize(stack.size() - n);
        return out;
    };
    const char* p = e.tokens.constData();
    const char* const end = p + e.tokens.size();
    while (p < end && facts.computable) {
        const int size = ptg::tokenSize(p, end);
        if (size < 0) {
            facts.computable = false;
            break;
        }
        const quint8 id = quint8(*p);
        const quint8 k = ptg::kind(id);
        if (id >= ptg::kAdd && id <= ptg::kRange) {
            stack.push_back(merge(2));
        } else {
            switch (k) {
                case ptg::kUplus:
                case ptg::kUminus:
                case ptg::kPercent:
                case ptg::kParen:
                    stack.push_back(merge(1));
                    break;
                case ptg::kExp:
                case ptg::kTbl:
                case ptg::kExtended:
                    facts.computable = false;
                    break;
                case ptg::kAttr:
                    if (quint8(p[1]) & ptg::kAttrSum)
                        stack.push_back(merge(1));
                    break;
                case ptg::kMissArg:
                case ptg::kStr:
                case ptg::kErr:
                case ptg::kBool:
                case ptg::kInt:
                case ptg::kNum:
                case ptg::kArray:
                case ptg::kRefErr:
                case ptg::kAreaErr:
                case ptg::kRefErr3d:
                case ptg::kAreaErr3d:
                    stack.emplace_back();
                    break;
                case ptg::kFunc:
                case ptg::kFuncVar: {
                    const int fid = k == ptg::kFunc ? at16(p + 1) : at16(p + 2) & 0x7FFF;
                    const FunctionInfo* f = functionById(fid);
                    const int argc = k == ptg::kFunc ? (f ? f->minArgs : 0) : quint8(p[1]) & 0x7F;
                    if (fid != ptg::kUserFunction) {
                        if (!f || !functionImpl(fid))
                            facts.computable = false;
                        else if (f->isVolatile)
                            facts.isVolatile = true;
                    }
                    std::vector<Area> read = merge(size_t(argc));
                    stack.push_back(positional(f) ? std::vector<Area>() : std::move(read));
                    break;
                }
                case ptg::kName: {
                    FormulaFacts name;
                    definedName(at16(p + 1), site, links, depth, name);
                    facts.computable = facts.computable && name.computable;
                    facts.isVolatile = facts.isVolatile || name.isVolatile;
                    stack.push_back(std::move(name.precedents));
                    break;
                }
                case ptg::kNameX: {
                    const int x = at16(p + 1), index = at16(p + 3);
                    FormulaFacts name;
                    if (x < int(links.externSheets.size()) &&
                        links.externSheets[size_t(x)].supbook < int(links.supbooks.size()) &&
                        links.externSheets[size_t(x)].supbook >= 0) {
                        const SupBook& book =
                            links.supbooks[size_t(links.externSheets[size_t(x)].supbook)];
                        if (book.kind == SupBook::Kind::Self)
                            definedName(index, site, links, depth, name);
                        else if (book.kind == SupBook::Kind::AddIn && index >= 1 &&
                                 index <= book.names.size())
                            functionName(book.names[index - 1], name);
                        else
                            name.computable = false;
                    }
                    facts.computable = facts.computable && name.computable;
                    facts.isVolatile = facts.isVolatile || name.isVolatile;
                    stack.push_back(std::move(name.precedents));
                    break;
                }
                case ptg::kRef:
                case ptg::kArea:
                case ptg::kRefN:
                case ptg::kAreaN:
                case ptg::kRef3d:
                case ptg::kArea3d: {
                    const ResolvedRef r = resolveReference(p, site, links);
                    if (r.external)
                        facts.computable = false;
                    stack.push_back(r.error || r.external ? std::vector<Area>()
                                                          : std::vector<Area>{r.area});
                    break;
                }
                default:
                    break;  // tMemArea and its kind: the tokens after them count
            }
        }
        p += size;
    }
    const std::vector<Area> read = merge(stack.size());
    facts.precedents.insert(facts.precedents.end(), read.begin(), read.end());
}

}  // namespace

FormulaFacts analyse(const Expression& e, const Site& site, const Links& links) {
    FormulaFacts facts;
    analyse(e, site, links, 0, facts);
    return facts;
}

}  // namespace velmora::formula
