// Statistical functions: counting, averages, extremes, order statistics,
// ranks, spread, correlation and the common distributions.
#include "workbook/formula/aggregate.h"
#include "workbook/formula/library.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace velmora::formula {

namespace {

Operand number(double x) {
    return Value::ofNumber(x);
}

Operand count(Call& c) {
    // Counts numbers; errors and text that is no number are left out.
    double n = 0;
    for (int i = 0; i < c.count(); ++i) {
        const bool direct = c.arg(i).kind == Operand::Kind::Value;
        forEachValue(c.arg(i), c.ctx, [&](const Value& v) {
            if (v.isNumber() || (direct && (v.isBoolean() || !toNumber(v).isError())))
                ++n;
        });
    }
    return number(n);
}

Operand countA(Call& c) {
    double n = 0;
    for (int i = 0; i < c.count(); ++i)
        forEachValue(c.arg(i), c.ctx, [&](const Value&) { ++n; });
    return number(n);
}

Operand countBlank(Call& c) {
    const RangeView r = c.range(0);
    qint64 filled = 0;
    r.forEach([&](int, int, const Value& v) {
        if (!(v.isText() && v.text.isEmpty()))
            ++filled;
    });
    return number(double(qint64(r.rows()) * r.columns() - filled));
}

template <Counting Mode>
Operand average(Call& c) {
    double total = 0, n = 0;
    forEachNumber(c, 0, c.count(), Mode, [&](double x) {
        total += x;
        ++n;
    });
    if (n == 0)
        throw ErrorResult{err::kDiv0};
    return number(total / n);
}

template <bool Max, Counting Mode>
Operand extreme(Call& c) {
    bool any = false;
    double best = 0;
    forEachNumber(c, 0, c.count(), Mode, [&](double x) {
        if (!any || (Max ? x > best : x < best))
            best = x;
        any = true;
    });
    return number(best);
}

std::vector<double> sorted(const Call& c, int from, int to) {
    std::vector<double> v = numbers(c, from, to);
    std::sort(v.begin(), v.end());
    return v;
}

template <bool Large>
Operand kth(Call& c) {
    const std::vector<double> v = sorted(c, 0, 1);
    const double k = std::ceil(c.number(1));
    if (k < 1 || k > double(v.size()))
        throw ErrorResult{err::kNum};
    return number(Large ? v[v.size() - size_t(k)] : v[size_t(k) - 1]);
}

Operand median(Call& c) {
    const std::vector<double> v = sorted(c, 0, c.count());
    if (v.empty())
        throw ErrorResult{err::kNum};
    const size_t m = v.size() / 2;
    return number(v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2);
}

Operand mode(Call& c) {
    // The value seen most often; of equally frequent ones the first seen.
    const std::vector<double> v = numbers(c, 0, c.count());
    std::map<double, int> seen;
    double best = 0;
    int most = 1;
    for (double x : v) {
        const int n = ++seen[x];
        if (n > most) {
            most = n;
            best = x;
        }
    }
    if (most < 2)
        throw ErrorResult{err::kNA};
    for (double x : v)
        if (seen[x] == most)
            return number(x);
    return number(best);
}

// RANK: 1 + how many are greater (or smaller, for a non-zero order); ties
// share a rank. RANK.AVG gives ties the average of their places.
template <bool Average>
Operand rank(Call& c) {
    const double x = c.number(0);
    const bool ascending = c.number(2, 0) != 0;
    int before = 0, equal = 0;
    forEachValue(c.arg(1), c.ctx, [&](const Value& v) {
        if (v.isError())
            throw ErrorResult{v.code};
        if (!v.isNumber())
            return;
        if (nearlyEqual(v.number, x))
            ++equal;
        else if (ascending ? v.number < x : v.number > x)
            ++before;
    });
    if (equal == 0)
        throw ErrorResult{err::kNA};
    return number(Average ? before + (equal + 1) / 2.0 : before + 1);
}

double sumOfSquares(const std::vector<double>& v, double& mean) {
    mean = 0;
    for (double x : v) mean += x;
    mean /= double(v.size());
    double s = 0;
    for (double x : v) s += (x - mean) * (x - mean);
    return s;
}

template <bool Sample, bool Root, Counting Mode>
Operand spread(Call& c) {
    const std::vector<double> v = numbers(c, 0, c.count(), Mode);
    if (v.size() < (Sample ? 2u : 1u))
        throw ErrorResult{err::kDiv0};
    double mean = 0;
    const double var = sumOfSquares(v, mean) / double(v.size() - (Sample ? 1 : 0));
    return number(Root ? std::sqrt(var) : var);
}

Operand devSq(Call& c) {
    const std::vector<double> v = numbers(c, 0, c.count());
    if (v.empty())
        throw ErrorResult{err::kNum};
    double mean = 0;
    return number(sumOfSquares(v, mean));
}

Operand aveDev(Call& c) {
    const std::vector<double> v = numbers(c, 0, c.count());
    if (v.empty())
        throw ErrorResult{err::kNum};
    double mean = 0;
    sumOfSquares(v, mean);
    double s = 0;
    for (double x : v) s += std::fabs(x - mean);
    return number(s / double(v.size()));
}

// The arguments' numbers, when there are some and all are above zero (the
// means of logarithms and reciprocals need that); #NUM! otherwise.
std::vector<double> positiveNumbers(Call& c) {
    std::vector<double> v = numbers(c, 0, c.count());
    if (v.empty() || std::any_of(v.begin(), v.end(), [](double x) { return x <= 0; }))
        throw ErrorResult{err::kNum};
    return v;
}

Operand geoMean(Call& c) {
    const std::vector<double> v = positiveNumbers(c);
    double s = 0;
    for (double x : v) s += std::log(x);
    return number(std::exp(s / double(v.size())));
}

Operand harMean(Call& c) {
    const std::vector<double> v = positiveNumbers(c);
    double s = 0;
    for (double x : v) s += 1 / x;
    return number(double(v.size()) / s);
}

// The sum of each value's distance from the mean, in sample standard
// deviations, raised to the power; #DIV/0! for fewer values than the power
// needs or values without spread.
double standardizedPowers(const std::vector<double>& v, int power) {
    const double n = double(v.size());
    if (n < power)
        throw ErrorResult{err::kDiv0};
    double mean = 0;
    const double sd = std::sqrt(sumOfSquares(v, mean) / (n - 1));
    if (sd == 0)
        throw ErrorResult{err::kDiv0};
    double s = 0;
    for (double x : v) s += std::pow((x - mean) / sd, power);
    return s;
}

Operand skew(Call& c) {
    const std::vector<double> v = numbers(c, 0, c.count());
    const double n = double(v.size());
    const double s = standardizedPowers(v, 3);
    return number(n / ((n - 1) * (n - 2)) * s);
}

Operand kurt(Call& c) {
    const std::vector<double> v = numbers(c, 0, c.count());
    const double n = double(v.size());
    const double s = standardizedPowers(v, 4);
    return number(n * (n + 1) / ((n - 1) * (n - 2) * (n - 3)) * s -
                  3 * (n - 1) * (n - 1) / ((n - 2) * (n - 3)));
}

double percentile(const std::vector<double>& v, double k) {
    if (v.empty() || k < 0 || k > 1)
        throw ErrorResult{err::kNum};
    const double pos = k * double(v.size() - 1);
    const size_t i = size_t(std::floor(pos));
    const double f = pos - double(i);
    return i + 1 < v.size() ? v[i] + f * (v[i + 1] - v[i]) : v[i];
}

Operand percentileFn(Call& c) {
    return number(percentile(sorted(c, 0, 1), c.number(1)));
}

Operand quartile(Call& c) {
    const double q = std::trunc(c.number(1));
    if (q < 0 || q > 4)
        throw ErrorResult{err::kNum};
    return number(percentile(sorted(c, 0, 1), q / 4));
}

Operand percentRank(Call& c) {
    const std::vector<double> v = sorted(c, 0, 1);
    const double x = c.number(1);
    const double significance = std::trunc(c.number(2, 3));
    if (v.empty() || significance < 1)
        throw ErrorResult{err::kNum};
    if (x < v.front() || x > v.back())
        throw ErrorResult{err::kNA};
    const double n = double(v.size());
    double rank = 0;
    if (n == 1) {
        rank = 1;
    } else {
        const auto lower = std::lower_bound(v.begin(), v.end(), x);
        const double below = double(lower - v.begin());
        if (*lower == x) {
            rank = below / (n - 1);
        } else {
            const double lo = *(lower - 1), hi = *lower;
            rank = (below - 1 + (x - lo) / (hi - lo)) / (n - 1);
        }
    }
    const double scale = std::pow(10.0, significance);
    return number(std::floor(rank * scale + 1e-9) / scale);
}

Operand trimMean(Call& c) {
    const std::vector<double> v = sorted(c, 0, 1);
    const double p = c.number(1);
    if (v.empty() || p < 0 || p >= 1)
        throw ErrorResult{err::kNum};
    const size_t cut = size_t(std::floor(double(v.size()) * p / 2));
    double s = 0;
    for (size_t i = cut; i < v.size() - cut; ++i) s += v[i];
    return number(s / double(v.size() - 2 * cut));
}

// Pairs of numbers at the same places of two ranges; places where either
// holds no number are left out.
struct Pairs {
    std::vector<double> x, y;
    double meanX = 0, meanY = 0, sxx = 0, syy = 0, sxy = 0;
};

Pairs pairs(Call& c, int yArg, int xArg) {
    const RangeView ys = c.range(yArg), xs = c.range(xArg);
    if (ys.rows() * ys.columns() != xs.rows() * xs.columns())
        throw ErrorResult{err::kNA};
    Pairs p;
    const int n = ys.rows() * ys.columns();
    for (int i = 0; i < n; ++i) {
        const Value& a = ys.at(i / ys.columns(), i % ys.columns());
        const Value& b = xs.at(i / xs.columns(), i % xs.columns());
        if (a.isError())
            throw ErrorResult{a.code};
        if (b.isError())
            throw ErrorResult{b.code};
        if (a.isNumber() && b.isNumber()) {
            p.y.push_back(a.number);
            p.x.push_back(b.number);
        }
    }
    if (p.x.empty())
        throw ErrorResult{err::kDiv0};
    for (size_t i = 0; i < p.x.size(); ++i) {
        p.meanX += p.x[i];
        p.meanY += p.y[i];
    }
    p.meanX /= double(p.x.size());
    p.meanY /= double(p.y.size());
    for (size_t i = 0; i < p.x.size(); ++i) {
        const double dx = p.x[i] - p.meanX, dy = p.y[i] - p.meanY;
        p.sxx += dx * dx;
        p.syy += dy * dy;
        p.sxy += dx * dy;
    }
    return p;
}

// The correlation from sums of the values, their squares and products, as
// spreadsheet programs compute it.
Operand correl(Call& c) {
    const Pairs p = pairs(c, 0, 1);
    const double n = double(p.x.size());
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (size_t i = 0; i < p.x.size(); ++i) {
        sx += p.x[i];
        sy += p.y[i];
        sxx += p.x[i] * p.x[i];
        syy += p.y[i] * p.y[i];
        sxy += p.x[i] * p.y[i];
    }
    const double vx = sxx - sx * sx / n, vy = syy - sy * sy / n;
    if (vx <= 0 || vy <= 0)
        throw ErrorResult{err::kDiv0};
    return number((sxy - sx * sy / n) / std::sqrt(vx * vy));
}

Operand rsq(Call& c) {
    const Pairs p = pairs(c, 0, 1);
    if (p.sxx == 0 || p.syy == 0)
        throw ErrorResult{err::kDiv0};
    return number(p.sxy * p.sxy / (p.sxx * p.syy));
}

Operand covar(Call& c) {
    const Pairs p = pairs(c, 0, 1);
    return number(p.sxy / double(p.x.size()));
}

Operand slope(Call& c) {
    const Pairs p = pairs(c, 0, 1);
    if (p.sxx == 0)
        throw ErrorResult{err::kDiv0};
    return number(p.sxy / p.sxx);
}

Operand intercept(Call& c) {
    const Pairs p = pairs(c, 0, 1);
    if (p.sxx == 0)
        throw ErrorResult{err::kDiv0};
    return number(p.meanY - p.sxy / p.sxx * p.meanX);
}

Operand steyx(Call& c) {
    const Pairs p = pairs(c, 0, 1);
    if (p.x.size() < 3 || p.sxx == 0)
        throw ErrorResult{err::kDiv0};
    return number(
        std::sqrt((p.syy - p.sxy * p.sxy / p.sxx) / double(p.x.size() - 2)));
}

Operand forecast(Call& c) {
    const double x = c.number(0);
    const Pairs p = pairs(c, 1, 2);
    if (p.sxx == 0)
        throw ErrorResult{err::kDiv0};
    const double b = p.sxy / p.sxx;
    return number(p.meanY - b * p.meanX + b * x);
}

Operand standardize(Call& c) {
    const double x = c.number(0), mean = c.number(1), sd = c.number(2);
    if (sd <= 0)
        throw ErrorResult{err::kNum};
    return number((x - mean) / sd);
}

double normalCdf(double z) {
    return 0.5 * std::erfc(-z / M_SQRT2);
}

double normalDensity(double z) {
    return std::exp(-z * z / 2) / std::sqrt(2 * M_PI);
}

// The inverse of the standard normal distribution: a rational first guess
// refined by Newton's steps.
double normalInverse(double p) {
    if (p <= 0 || p >= 1)
        throw ErrorResult{err::kNum};
    static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,
                               -2.759285104469687e+02, 1.383577518672690e+02,
                               -3.066479806614716e+01, 2.506628277459239e+00};
    static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02,
                               -1.556989798598866e+02, 6.680131188771972e+01,
                               -1.328068155288572e+01};
    static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01,
                               -2.400758277161838e+00, -2.549732539343734e+00,
                               4.374664141464968e+00,  2.938163982698783e+00};
    static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01,
                               2.445134137142996e+00, 3.754408661907416e+00};
    double x;
    if (p < 0.02425) {
        const double q = std::sqrt(-2 * std::log(p));
        x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    } else if (p <= 1 - 0.02425) {
        const double q = p - 0.5, r = q * q;
        x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
            (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
    } else {
        const double q = std::sqrt(-2 * std::log(1 - p));
        x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
            ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
    }
    for (int i = 0; i < 3; ++i) x -= (normalCdf(x) - p) / normalDensity(x);
    return x;
}

Operand normSDist(Call& c) {
    return number(normalCdf(c.number(0)));
}

Operand normSInv(Call& c) {
    return number(normalInverse(c.number(0)));
}

Operand normDist(Call& c) {
    const double x = c.number(0), mean = c.number(1), sd = c.number(2);
    const bool cumulative = c.boolean(3);
    if (sd <= 0)
        throw ErrorResult{err::kNum};
    const double z = (x - mean) / sd;
    return number(cumulative ? normalCdf(z) : normalDensity(z) / sd);
}

Operand normInv(Call& c) {
    const double p = c.number(0), mean = c.number(1), sd = c.number(2);
    if (sd <= 0)
        throw ErrorResult{err::kNum};
    return number(mean + sd * normalInverse(p));
}

Operand logNormDist(Call& c) {
    const double x = c.number(0), mean = c.number(1), sd = c.number(2);
    if (x <= 0 || sd <= 0)
        throw ErrorResult{err::kNum};
    return number(normalCdf((std::log(x) - mean) / sd));
}

Operand logInv(Call& c) {
    const double p = c.number(0), mean = c.number(1), sd = c.number(2);
    if (sd <= 0)
        throw ErrorResult{err::kNum};
    return number(std::exp(mean + sd * normalInverse(p)));
}

Operand confidence(Call& c) {
    const double alpha = c.number(0), sd = c.number(1), n = std::trunc(c.number(2));
    if (alpha <= 0 || alpha >= 1 || sd <= 0 || n < 1)
        throw ErrorResult{err::kNum};
    return number(normalInverse(1 - alpha / 2) * sd / std::sqrt(n));
}

Operand fisher(Call& c) {
    const double x = c.number(0);
    if (x <= -1 || x >= 1)
        throw ErrorResult{err::kNum};
    return number(0.5 * std::log((1 + x) / (1 - x)));
}

Operand fisherInv(Call& c) {
    const double y = c.number(0);
    return number(std::tanh(y));
}

Operand gammaLn(Call& c) {
    const double x = c.number(0);
    if (x <= 0)
        throw ErrorResult{err::kNum};
    return number(std::lgamma(x));
}

Operand exponDist(Call& c) {
    const double x = c.number(0), lambda = c.number(1);
    if (x < 0 || lambda <= 0)
        throw ErrorResult{err::kNum};
    return number(c.boolean(2) ? 1 - std::exp(-lambda * x) : lambda * std::exp(-lambda * x));
}

Operand poisson(Call& c) {
    const double k = std::trunc(c.number(0)), mean = c.number(1);
    if (k < 0 || mean < 0)
        throw ErrorResult{err::kNum};
    const auto term = [&](double i) {
        return std::exp(i * std::log(mean) - mean - std::lgamma(i + 1));
    };
    if (!c.boolean(2))
        return number(mean == 0 ? (k == 0 ? 1 : 0) : term(k));
    double s = 0;
    for (double i = 0; i <= k; ++i) s += mean == 0 ? (i == 0 ? 1 : 0) : term(i);
    return number(s);
}

Operand binomDist(Call& c) {
    const double k = std::trunc(c.number(0)), n = std::trunc(c.number(1)), p = c.number(2);
    if (k < 0 || k > n || p < 0 || p > 1)
        throw ErrorResult{err::kNum};
    const auto term = [&](double i) {
        if (p == 0)
            return i == 0 ? 1.0 : 0.0;
        if (p == 1)
            return i == n ? 1.0 : 0.0;
        return std::exp(std::lgamma(n + 1) - std::lgamma(i + 1) - std::lgamma(n - i + 1) +
                        i * std::log(p) + (n - i) * std::log1p(-p));
    };
    if (!c.boolean(3))
        return number(term(k));
    double s = 0;
    for (double i = 0; i <= k; ++i) s += term(i);
    return number(s);
}

Operand weibull(Call& c) {
    const double x = c.number(0), alpha = c.number(1), beta = c.number(2);
    if (x < 0 || alpha <= 0 || beta <= 0)
        throw ErrorResult{err::kNum};
    const double t = std::pow(x / beta, alpha);
    return number(c.boolean(3) ? 1 - std::exp(-t)
                               : alpha / std::pow(beta, alpha) * std::pow(x, alpha - 1) *
                                     std::exp(-t));
}

}  // namespace

const std::vector<FunctionEntry>& statisticsFunctions() {
    using C = Counting;
    static const std::vector<FunctionEntry> table = {
        {"COUNT", count},
        {"COUNTA", countA},
        {"COUNTBLANK", countBlank},
        {"AVERAGE", average<C::Numbers>},
        {"AVERAGEA", average<C::TextAsZero>},
        {"MAX", extreme<true, C::Numbers>},
        {"MIN", extreme<false, C::Numbers>},
        {"MAXA", extreme<true, C::TextAsZero>},
        {"MINA", extreme<false, C::TextAsZero>},
        {"LARGE", kth<true>},
        {"SMALL", kth<false>},
        {"MEDIAN", median},
        {"MODE", mode},
        {"RANK", rank<false>},
        {"RANK.EQ", rank<false>},
        {"RANK.AVG", rank<true>},
        {"STDEV", spread<true, true, C::Numbers>},
        {"STDEV.S", spread<true, true, C::Numbers>},
        {"STDEVP", spread<false, true, C::Numbers>},
        {"STDEV.P", spread<false, true, C::Numbers>},
        {"STDEVA", spread<true, true, C::TextAsZero>},
        {"STDEVPA", spread<false, true, C::TextAsZero>},
        {"VAR", spread<true, false, C::Numbers>},
        {"VAR.S", spread<true, false, C::Numbers>},
        {"VARP", spread<false, false, C::Numbers>},
        {"VAR.P", spread<false, false, C::Numbers>},
        {"VARA", spread<true, false, C::TextAsZero>},
        {"VARPA", spread<false, false, C::TextAsZero>},
        {"DEVSQ", devSq},
        {"AVEDEV", aveDev},
        {"GEOMEAN", geoMean},
        {"HARMEAN", harMean},
        {"SKEW", skew},
        {"KURT", kurt},
        {"PERCENTILE", percentileFn},
        {"QUARTILE", quartile},
        {"PERCENTRANK", percentRank},
        {"TRIMMEAN", trimMean},
        {"CORREL", correl},
        {"PEARSON", correl},
        {"RSQ", rsq},
        {"COVAR", covar},
        {"SLOPE", slope},
        {"INTERCEPT", intercept},
        {"STEYX", steyx},
        {"FORECAST", forecast},
        {"STANDARDIZE", standardize},
        {"NORMSDIST", normSDist},
        {"NORMSINV", normSInv},
        {"NORMDIST", normDist},
        {"NORMINV", normInv},
        {"LOGNORMDIST", logNormDist},
        {"LOGINV", logInv},
        {"CONFIDENCE", confidence},
        {"FISHER", fisher},
        {"FISHERINV", fisherInv},
        {"GAMMALN", gammaLn},
        {"EXPONDIST", exponDist},
        {"POISSON", poisson},
        {"BINOMDIST", binomDist},
        {"WEIBULL", weibull},
    };
    return table;
}

}  // namespace velmora::formula
