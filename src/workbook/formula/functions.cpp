#include "workbook/formula/functions.h"

#include <QHash>
#include <cstring>
#include <list>
#include <string>

namespace velmora::formula {

namespace {

// Argument classes of functions taking (range, criterion) pairs, after
// `head`, as far as the format allows arguments.
const char* pairs(const char* head) {
    static std::list<std::string> kept;
    std::string s(head);
    while (s.size() < 255) s += "RV";
    kept.push_back(s);
    return kept.back().c_str();
}

// Functions of Excel 2007 and later that a BIFF8 file stores by name. Only
// those the calculation knows are listed: a formula naming another one is
// refused rather than written in a form no program could evaluate.
const std::vector<FunctionInfo>& futureFunctions() {
    static const char* const countIfs = pairs("");
    static const char* const sumIfs = pairs("R");
    static const char* const averageIf = "RVR";
    static const std::vector<FunctionInfo> table = {
        {255, "IFERROR", 2, 2, 'V', "VV", false},
        {255, "IFNA", 2, 2, 'V', "VV", false},
        {255, "COUNTIFS", 2, 254, 'V', countIfs, false},
        {255, "SUMIFS", 3, 253, 'V', sumIfs, false},
        {255, "AVERAGEIF", 2, 3, 'V', averageIf, false},
        {255, "AVERAGEIFS", 3, 253, 'V', sumIfs, false},
        {255, "MAXIFS", 3, 253, 'V', sumIfs, false},
        {255, "MINIFS", 3, 253, 'V', sumIfs, false},
        {255, "IFS", 2, 254, 'V', "VV", false},
        {255, "CONCAT", 1, 254, 'V', "R", false},
        {255, "TEXTJOIN", 3, 254, 'V', "VVR", false},
        {255, "RANK.EQ", 2, 3, 'V', "VRV", false},
        {255, "RANK.AVG", 2, 3, 'V', "VRV", false},
        {255, "STDEV.S", 1, 254, 'V', "R", false},
        {255, "STDEV.P", 1, 254, 'V', "R", false},
        {255, "VAR.S", 1, 254, 'V', "R", false},
        {255, "VAR.P", 1, 254, 'V', "R", false},
    };
    return table;
}

QString key(QStringView name) {
    QString k = name.toString().toUpper();
    if (k.startsWith(QLatin1String(kFuturePrefix).toString().toUpper()))
        k.remove(0, int(std::strlen(kFuturePrefix)));
    return k;
}

}  // namespace

char FunctionInfo::argClass(int index) const {
    const int n = int(std::strlen(argClasses));
    if (n == 0)
        return 'V';
    return argClasses[index < n ? index : n - 1];
}

const FunctionInfo* functionById(int id) {
    static const std::vector<const FunctionInfo*> byId = [] {
        std::vector<const FunctionInfo*> v(512, nullptr);
        for (const FunctionInfo& f : builtinFunctions()) v[size_t(f.id)] = &f;
        return v;
    }();
    return id >= 0 && size_t(id) < byId.size() ? byId[size_t(id)] : nullptr;
}

const FunctionInfo* functionByName(QStringView name) {
    static const QHash<QString, const FunctionInfo*> byName = [] {
        QHash<QString, const FunctionInfo*> h;
        for (const FunctionInfo& f : builtinFunctions()) h.insert(QString::fromLatin1(f.name), &f);
        for (const FunctionInfo& f : futureFunctions()) h.insert(QString::fromLatin1(f.name), &f);
        return h;
    }();
    return byName.value(key(name), nullptr);
}

}  // namespace velmora::formula
