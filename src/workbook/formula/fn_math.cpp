// Mathematical functions: sums and products, rounding, powers and logarithms,
// trigonometry, factorials and combinations, random numbers.
#include "workbook/formula/aggregate.h"
#include "workbook/formula/library.h"
#include "workbook/formula/rounding.h"

#include <QRandomGenerator>
#include <cmath>
#include <numeric>

namespace velmora::formula {

namespace {

Operand number(double x) {
    return Value::ofNumber(x);
}

int digits(const Call& c, int i, int fallback = 0) {
    const double d = c.number(i, fallback);
    return int(std::clamp(std::trunc(d), -400.0, 400.0));
}

Operand sum(Call& c) {
    double total = 0;
    forEachNumber(c, 0, c.count(), Counting::Numbers, [&](double x) { total = addNumbers(total, x); });
    return number(total);
}

Operand product(Call& c) {
    double total = 1;
    bool any = false;
    forEachNumber(c, 0, c.count(), Counting::Numbers, [&](double x) {
        total *= x;
        any = true;
    });
    return number(any ? total : 0);
}

Operand sumSq(Call& c) {
    double total = 0;
    forEachNumber(c, 0, c.count(), Counting::Numbers, [&](double x) { total += x * x; });
    return number(total);
}

// Arrays of the same shape, element by element; what is no number counts 0.
template <typename F>
Operand pairwise(Call& c, F&& f) {
    std::vector<RangeView> views;
    for (int i = 0; i < c.count(); ++i) views.push_back(c.range(i));
    for (const RangeView& v : views)
        if (v.rows() != views[0].rows() || v.columns() != views[0].columns())
            throw ErrorResult{err::kValue};
    std::vector<double> row(views.size());
    double total = 0;
    for (int r = 0; r < views[0].rows(); ++r)
        for (int col = 0; col < views[0].columns(); ++col) {
            for (size_t i = 0; i < views.size(); ++i) {
                const Value& v = views[i].at(r, col);
                if (v.isError())
                    throw ErrorResult{v.code};
                row[i] = v.isNumber() ? v.number : 0;
            }
            total += f(row);
        }
    return number(total);
}

Operand sumProduct(Call& c) {
    return pairwise(c, [](const std::vector<double>& v) {
        double p = 1;
        for (double x : v) p *= x;
        return p;
    });
}
Operand sumX2MY2(Call& c) {
    return pairwise(c, [](const std::vector<double>& v) { return v[0] * v[0] - v[1] * v[1]; });
}
Operand sumX2PY2(Call& c) {
    return pairwise(c, [](const std::vector<double>& v) { return v[0] * v[0] + v[1] * v[1]; });
}
Operand sumXMY2(Call& c) {
    return pairwise(c, [](const std::vector<double>& v) { return (v[0] - v[1]) * (v[0] - v[1]); });
}

template <Rounding Mode>
Operand roundFn(Call& c) {
    return number(roundDigits(c.number(0), digits(c, 1), Mode));
}

Operand trunc(Call& c) {
    return number(roundDigits(c.number(0), digits(c, 1), Rounding::Down));
}

Operand intFn(Call& c) {
    return number(std::floor(c.number(0)));
}

Operand abs(Call& c) {
    return number(std::fabs(c.number(0)));
}

Operand sign(Call& c) {
    const double x = c.number(0);
    return number(x > 0 ? 1 : x < 0 ? -1 : 0);
}

Operand mod(Call& c) {
    const double n = c.number(0), d = c.number(1);
    if (d == 0)
        throw ErrorResult{err::kDiv0};
    const double q = std::floor(n / d);
    double r = n - d * q;
    if (nearlyEqual(r, d) || nearlyEqual(r + 1, 1))
        r = 0;
    return number(r);
}

Operand quotient(Call& c) {
    const double n = c.number(0), d = c.number(1);
    if (d == 0)
        throw ErrorResult{err::kDiv0};
    return number(std::trunc(n / d));
}

Operand sqrt(Call& c) {
    const double x = c.number(0);
    if (x < 0)
        throw ErrorResult{err::kNum};
    return number(std::sqrt(x));
}

Operand sqrtPi(Call& c) {
    const double x = c.number(0);
    if (x < 0)
        throw ErrorResult{err::kNum};
    return number(std::sqrt(x * M_PI));
}

Operand power(Call& c) {
    const double x = c.number(0), y = c.number(1);
    if (x == 0 && y == 0)
        throw ErrorResult{err::kNum};
    if (x == 0 && y < 0)
        throw ErrorResult{err::kDiv0};
    const double r = std::pow(x, y);
    if (std::isnan(r))
        throw ErrorResult{err::kNum};
    return number(r);
}

Operand exp(Call& c) {
    return number(std::exp(c.number(0)));
}

Operand ln(Call& c) {
    const double x = c.number(0);
    if (x <= 0)
        throw ErrorResult{err::kNum};
    return number(std::log(x));
}

Operand log(Call& c) {
    const double x = c.number(0), base = c.number(1, 10);
    if (x <= 0 || base <= 0)
        throw ErrorResult{err::kNum};
    if (base == 1)
        throw ErrorResult{err::kDiv0};
    return number(std::log(x) / std::log(base));
}

Operand log10(Call& c) {
    const double x = c.number(0);
    if (x <= 0)
        throw ErrorResult{err::kNum};
    return number(std::log10(x));
}

Operand pi(Call&) {
    return number(M_PI);
}

// One-argument functions of the C library, #NUM! outside their domain.
template <double (*F)(double)>
Operand unary(Call& c) {
    const double r = F(c.number(0));
    if (!std::isfinite(r))
        throw ErrorResult{err::kNum};
    return number(r);
}

Operand atan2(Call& c) {
    const double x = c.number(0), y = c.number(1);
    if (x == 0 && y == 0)
        throw ErrorResult{err::kDiv0};
    return number(std::atan2(y, x));
}

// As sinh / cosh, which is what spreadsheet programs give to the last digit.
double tanh(double x) {
    const double c = std::cosh(x);
    return std::isfinite(c) ? std::sinh(x) / c : (x > 0 ? 1 : -1);
}

double degrees(double r) {
    return r * 180 / M_PI;
}
double radians(double d) {
    return d * M_PI / 180;
}

double factorial(double n) {
    if (n < 0 || n > 170)
        throw ErrorResult{err::kNum};
    return std::round(std::tgamma(std::trunc(n) + 1));
}

Operand fact(Call& c) {
    return number(factorial(c.number(0)));
}

Operand factDouble(Call& c) {
    const double n = std::trunc(c.number(0));
    if (n < -1 || n > 300)
        throw ErrorResult{err::kNum};
    double r = 1;
    for (double k = n; k > 1; k -= 2) r *= k;
    return number(r);
}

double combinations(double n, double k) {
    n = std::trunc(n);
    k = std::trunc(k);
    if (n < 0 || k < 0 || n < k)
        throw ErrorResult{err::kNum};
    return std::round(std::exp(std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1)));
}

Operand combin(Call& c) {
    return number(combinations(c.number(0), c.number(1)));
}

Operand permut(Call& c) {
    const double n = std::trunc(c.number(0)), k = std::trunc(c.number(1));
    if (n < 0 || k < 0 || n < k)
        throw ErrorResult{err::kNum};
    return number(std::round(std::exp(std::lgamma(n + 1) - std::lgamma(n - k + 1))));
}

Operand multinomial(Call& c) {
    double total = 0, result = 1;
    forEachNumber(c, 0, c.count(), Counting::Numbers, [&](double x) {
        x = std::trunc(x);
        if (x < 0)
            throw ErrorResult{err::kNum};
        total += x;
        result *= combinations(total, x);
    });
    return number(result);
}

Operand even(Call& c) {
    const double x = c.number(0);
    const double r = std::ceil(std::fabs(x) / 2 - 1e-15) * 2;
    return number(std::copysign(r, x));
}

Operand odd(Call& c) {
    const double x = c.number(0);
    double r = std::ceil(std::fabs(x));
    if (std::fmod(r, 2) == 0)
        r += 1;
    return number(std::copysign(r, x));
}

// CEILING and FLOOR to a multiple of significance, as Excel 2003 has them.
Operand ceiling(Call& c) {
    const double x = c.number(0), s = c.number(1);
    if (x == 0 || s == 0)
        return number(0);
    if (x > 0 && s < 0)
        throw ErrorResult{err::kNum};
    double q = x / s;
    if (nearlyEqual(q, std::round(q)))
        q = std::round(q);
    return number(std::ceil(q) * s);
}

Operand floor(Call& c) {
    const double x = c.number(0), s = c.number(1);
    if (x == 0)
        return number(0);
    if (s == 0)
        throw ErrorResult{err::kDiv0};
    if (x > 0 && s < 0)
        throw ErrorResult{err::kNum};
    double q = x / s;
    if (nearlyEqual(q, std::round(q)))
        q = std::round(q);
    return number(std::floor(q) * s);
}

Operand mround(Call& c) {
    const double x = c.number(0), m = c.number(1);
    if (m == 0)
        return number(0);
    if ((x > 0 && m < 0) || (x < 0 && m > 0))
        throw ErrorResult{err::kNum};
    return number(roundDigits(x / m, 0, Rounding::HalfAwayFromZero) * m);
}

double gcd2(double a, double b) {
    while (b >= 1) {
        const double t = std::fmod(a, b);
        a = b;
        b = t;
    }
    return a;
}

template <bool Lcm>
Operand gcdLcm(Call& c) {
    double r = Lcm ? 1 : 0;
    forEachNumber(c, 0, c.count(), Counting::Numbers, [&](double x) {
        x = std::trunc(x);
        if (x < 0)
            throw ErrorResult{err::kNum};
        if (Lcm)
            r = (x == 0 || r == 0) ? 0 : r / gcd2(r, x) * x;
        else
            r = gcd2(std::max(r, x), std::min(r, x));
    });
    return number(r);
}

Operand rand(Call&) {
    return number(QRandomGenerator::global()->generateDouble());
}

Operand randBetween(Call& c) {
    const double low = std::ceil(c.number(0)), high = std::floor(c.number(1));
    if (low > high)
        throw ErrorResult{err::kNum};
    return number(low + std::floor(QRandomGenerator::global()->generateDouble() * (high - low + 1)));
}

}  // namespace

const std::vector<FunctionEntry>& mathFunctions() {
    static const std::vector<FunctionEntry> table = {
        {"SUM", sum},
        {"PRODUCT", product},
        {"SUMSQ", sumSq},
        {"SUMPRODUCT", sumProduct},
        {"SUMX2MY2", sumX2MY2},
        {"SUMX2PY2", sumX2PY2},
        {"SUMXMY2", sumXMY2},
        {"ROUND", roundFn<Rounding::HalfAwayFromZero>},
        {"ROUNDUP", roundFn<Rounding::Up>},
        {"ROUNDDOWN", roundFn<Rounding::Down>},
        {"TRUNC", trunc},
        {"INT", intFn},
        {"ABS", abs},
        {"SIGN", sign},
        {"MOD", mod},
        {"QUOTIENT", quotient},
        {"SQRT", sqrt},
        {"SQRTPI", sqrtPi},
        {"POWER", power},
        {"EXP", exp},
        {"LN", ln},
        {"LOG", log},
        {"LOG10", log10},
        {"PI", pi},
        {"SIN", unary<std::sin>},
        {"COS", unary<std::cos>},
        {"TAN", unary<std::tan>},
        {"ASIN", unary<std::asin>},
        {"ACOS", unary<std::acos>},
        {"ATAN", unary<std::atan>},
        {"ATAN2", atan2},
        {"SINH", unary<std::sinh>},
        {"COSH", unary<std::cosh>},
        {"TANH", unary<tanh>},
        {"ASINH", unary<std::asinh>},
        {"ACOSH", unary<std::acosh>},
        {"ATANH", unary<std::atanh>},
        {"DEGREES", unary<degrees>},
        {"RADIANS", unary<radians>},
        {"FACT", fact},
        {"FACTDOUBLE", factDouble},
        {"COMBIN", combin},
        {"PERMUT", permut},
        {"MULTINOMIAL", multinomial},
        {"EVEN", even},
        {"ODD", odd},
        {"CEILING", ceiling},
        {"FLOOR", floor},
        {"MROUND", mround},
        {"GCD", gcdLcm<false>},
        {"LCM", gcdLcm<true>},
        {"RAND", rand},
        {"RANDBETWEEN", randBetween},
    };
    return table;
}

}  // namespace velmora::formula
