#include "workbook/formula/library.h"

#include "workbook/formula/functions.h"

#include <QHash>
#include <cstring>

namespace velmora::formula {

namespace {

const QHash<QString, FunctionImpl>& byName() {
    static const QHash<QString, FunctionImpl> table = [] {
        QHash<QString, FunctionImpl> h;
        for (const auto* group : {&logicFunctions(), &mathFunctions(), &statisticsFunctions(),
                                  &conditionalFunctions(),
                                  &textFunctions(), &lookupFunctions(), &dateFunctions(),
                                  &financeFunctions(), &engineeringFunctions(),
                                  &regressionFunctions()})
            for (const FunctionEntry& e : *group) h.insert(QString::fromLatin1(e.name), e.impl);
        return h;
    }();
    return table;
}

}  // namespace

FunctionImpl functionImpl(int id) {
    static const std::vector<FunctionImpl> table = [] {
        std::vector<FunctionImpl> v(512, nullptr);
        for (const FunctionInfo& f : builtinFunctions())
            v[size_t(f.id)] = byName().value(QString::fromLatin1(f.name), nullptr);
        return v;
    }();
    return id >= 0 && size_t(id) < table.size() ? table[size_t(id)] : nullptr;
}

FunctionImpl functionImplByName(QStringView name) {
    QString key = name.toString().toUpper();
    if (key.startsWith(QLatin1String("_XLFN.")))
        key.remove(0, qsizetype(std::strlen(kFuturePrefix)));
    return byName().value(key, nullptr);
}

}  // namespace velmora::formula
