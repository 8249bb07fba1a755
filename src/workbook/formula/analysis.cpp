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

void analyse(const Expression& e, const Site& site, const Links& links, int depth,
             FormulaFacts& facts) {
    const char* p = e.tokens.constData();
    const char* const end = p + e.tokens.size();
    while (p < end && facts.computable) {
        const int size = ptg::tokenSize(p, end);
        if (size < 0) {
            facts.computable = false;
            break;
        }
        const quint8 k = ptg::kind(quint8(*p));
        switch (k) {
            case ptg::kExp:
            case ptg::kTbl:
            case ptg::kExtended:
                facts.computable = false;
                break;
            case ptg::kFunc:
            case ptg::kFuncVar: {
                const int id = k == ptg::kFunc ? at16(p + 1) : at16(p + 2) & 0x7FFF;
                if (id == ptg::kUserFunction)
                    break;  // the name before it says which
                const FunctionInfo* f = functionById(id);
                if (!f || !functionImpl(id))
                    facts.computable = false;
                else if (f->isVolatile)
                    facts.isVolatile = true;
                break;
            }
            case ptg::kName:
                definedName(at16(p + 1), site, links, depth, facts);
                break;
            case ptg::kNameX: {
                const int x = at16(p + 1), index = at16(p + 3);
                if (x >= int(links.externSheets.size()) ||
                    links.externSheets[size_t(x)].supbook >= int(links.supbooks.size()) ||
                    links.externSheets[size_t(x)].supbook < 0)
                    break;  // #NAME?
                const SupBook& book = links.supbooks[size_t(links.externSheets[size_t(x)].supbook)];
                if (book.kind == SupBook::Kind::Self)
                    definedName(index, site, links, depth, facts);
                else if (book.kind == SupBook::Kind::AddIn && index >= 1 &&
                         index <= book.names.size())
                    functionName(book.names[index - 1], facts);
                else
                    facts.computable = false;
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
                else if (!r.error)
                    facts.precedents.push_back(r.area);
                break;
            }
            default:
                break;
        }
        p += size;
    }
}

}  // namespace

FormulaFacts analyse(const Expression& e, const Site& site, const Links& links) {
    FormulaFacts facts;
    analyse(e, site, links, 0, facts);
    return facts;
}

}  // namespace velmora::formula
