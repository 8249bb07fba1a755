// Financial functions: annuities (PV, FV, PMT, NPER, RATE, IPMT, PPMT),
// cash flows (NPV, IRR, MIRR, FVSCHEDULE) and depreciation (SLN, SYD, DB,
// DDB, ISPMT).
#include "workbook/formula/aggregate.h"
#include "workbook/formula/library.h"

#include <cmath>

namespace velmora::formula {

namespace {

Operand number(double x) {
    if (!std::isfinite(x))
        throw ErrorResult{err::kNum};
    return Value::ofNumber(x);
}

double fv(double r, double n, double pmt, double pv, double type) {
    if (r == 0)
        return -(pv + pmt * n);
    const double g = std::pow(1 + r, n);
    return -(pv * g + pmt * (1 + r * type) * (g - 1) / r);
}

double pmt(double r, double n, double pv, double fv, double type) {
    if (n == 0)
        throw ErrorResult{err::kNum};
    if (r == 0)
        return -(pv + fv) / n;
    const double g = std::pow(1 + r, n);
    return -(r * (fv + pv * g)) / ((1 + r * type) * (g - 1));
}

double ipmt(double r, double per, double n, double pv, double fvalue, double type) {
    if (per < 1 || per > n)
        throw ErrorResult{err::kNum};
    const double payment = pmt(r, n, pv, fvalue, type);
    double interest;
    if (per == 1)
        interest = type == 1 ? 0 : -pv;
    else if (type == 1)
        interest = fv(r, per - 2, payment, pv, 1) - payment;
    else
        interest = fv(r, per - 1, payment, pv, 0);
    return interest * r;
}

double type(const Call& c, int i) {
    return c.number(i, 0) != 0 ? 1 : 0;
}

Operand pvFn(Call& c) {
    const double r = c.number(0), n = c.number(1), p = c.number(2), f = c.number(3, 0),
                 t = type(c, 4);
    if (r == 0)
        return number(-(p * n + f));
    const double g = std::pow(1 + r, n);
    return number(-(f + p * (1 + r * t) * (g - 1) / r) / g);
}

Operand fvFn(Call& c) {
    return number(fv(c.number(0), c.number(1), c.number(2), c.number(3, 0), type(c, 4)));
}

Operand pmtFn(Call& c) {
    return number(pmt(c.number(0), c.number(1), c.number(2), c.number(3, 0), type(c, 4)));
}

Operand nper(Call& c) {
    const double r = c.number(0), p = c.number(1), pv = c.number(2), f = c.number(3, 0),
                 t = type(c, 4);
    if (r == 0) {
        if (p == 0)
            throw ErrorResult{err::kNum};
        return number(-(pv + f) / p);
    }
    const double a = p * (1 + r * t);
    const double x = (a - f * r) / (a + pv * r);
    if (x <= 0)
        throw ErrorResult{err::kNum};
    return number(std::log(x) / std::log(1 + r));
}

// Newton's method from a guess; #NUM! when it does not settle.
template <typename F, typename D>
double solve(double guess, F&& f, D&& derivative) {
    double x = guess;
    for (int i = 0; i < 100; ++i) {
        const double y = f(x), dy = derivative(x);
        if (dy == 0 || !std::isfinite(y) || !std::isfinite(dy))
            break;
        const double next = x - y / dy;
        if (std::fabs(next - x) < 1e-10)
            return next;
        x = next;
    }
    throw ErrorResult{err::kNum};
}

Operand rate(Call& c) {
    const double n = c.number(0), p = c.number(1), pv = c.number(2), f = c.number(3, 0),
                 t = type(c, 4), guess = c.number(5, 0.1);
    const auto value = [&](double r) {
        if (r == 0)
            return pv + p * n + f;
        const double g = std::pow(1 + r, n);
        return pv * g + p * (1 + r * t) * (g - 1) / r + f;
    };
    const auto slope = [&](double r) {
        const double h = 1e-7 * std::max(1.0, std::fabs(r));
        return (value(r + h) - value(r - h)) / (2 * h);
    };
    return number(solve(guess, value, slope));
}

Operand ipmtFn(Call& c) {
    return number(ipmt(c.number(0), c.number(1), c.number(2), c.number(3), c.number(4, 0),
                       type(c, 5)));
}

Operand ppmt(Call& c) {
    const double r = c.number(0), per = c.number(1), n = c.number(2), pv = c.number(3),
                 f = c.number(4, 0), t = type(c, 5);
    return number(pmt(r, n, pv, f, t) - ipmt(r, per, n, pv, f, t));
}

Operand npv(Call& c) {
    const double r = c.number(0);
    if (r == -1)
        throw ErrorResult{err::kDiv0};
    double total = 0, i = 1;
    forEachNumber(c, 1, c.count(), Counting::Numbers,
                  [&](double v) { total += v / std::pow(1 + r, i++); });
    return number(total);
}

Operand irr(Call& c) {
    const std::vector<double> v = numbers(c, 0, 1);
    const auto value = [&](double r) {
        double s = 0;
        for (size_t i = 0; i < v.size(); ++i) s += v[i] / std::pow(1 + r, double(i));
        return s;
    };
    const auto slope = [&](double r) {
        double s = 0;
        for (size_t i = 1; i < v.size(); ++i) s -= double(i) * v[i] / std::pow(1 + r, double(i + 1));
        return s;
    };
    return number(solve(c.number(1, 0.1), value, slope));
}

Operand mirr(Call& c) {
    const std::vector<double> v = numbers(c, 0, 1);
    const double finance = c.number(1), reinvest = c.number(2);
    const double n = double(v.size());
    double positive = 0, negative = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] > 0)
            positive += v[i] * std::pow(1 + reinvest, n - 1 - double(i));
        else
            negative += v[i] / std::pow(1 + finance, double(i));
    }
    if (positive == 0 || negative == 0 || n < 2)
        throw ErrorResult{err::kDiv0};
    return number(std::pow(-positive / negative, 1 / (n - 1)) - 1);
}

Operand fvSchedule(Call& c) {
    double value = c.number(0);
    forEachNumber(c, 1, 2, Counting::Numbers, [&](double r) { value *= 1 + r; });
    return number(value);
}

Operand sln(Call& c) {
    const double life = c.number(2);
    if (life == 0)
        throw ErrorResult{err::kDiv0};
    return number((c.number(0) - c.number(1)) / life);
}

Operand syd(Call& c) {
    const double cost = c.number(0), salvage = c.number(1), life = c.number(2), per = c.number(3);
    if (life <= 0 || per <= 0 || per > life)
        throw ErrorResult{err::kNum};
    return number((cost - salvage) * (life - per + 1) * 2 / (life * (life + 1)));
}

Operand ddb(Call& c) {
    const double cost = c.number(0), salvage = c.number(1), life = c.number(2),
                 period = c.number(3), factor = c.number(4, 2);
    if (cost < 0 || salvage < 0 || life <= 0 || period <= 0 || period > life || factor <= 0)
        throw ErrorResult{err::kNum};
    double total = 0, depreciation = 0;
    for (double p = 1; p <= period; ++p) {
        depreciation = std::min((cost - total) * factor / life, std::max(0.0, cost - salvage - total));
        total += depreciation;
    }
    return number(depreciation);
}

Operand db(Call& c) {
    const double cost = c.number(0), salvage = c.number(1), life = std::trunc(c.number(2)),
                 period = std::trunc(c.number(3)), month = std::trunc(c.number(4, 12));
    if (cost < 0 || salvage < 0 || life <= 0 || period <= 0 || month < 1 || month > 12 ||
        period > life + (month < 12 ? 1 : 0))
        throw ErrorResult{err::kNum};
    if (cost == 0)
        return number(0);
    const double r = std::round((1 - std::pow(salvage / cost, 1 / life)) * 1000) / 1000;
    double total = cost * r * month / 12;
    double depreciation = total;
    for (double p = 2; p <= period; ++p) {
        depreciation = p == life + 1 ? (cost - total) * r * (12 - month) / 12 : (cost - total) * r;
        total += depreciation;
    }
    return number(depreciation);
}

Operand ispmt(Call& c) {
    const double r = c.number(0), per = c.number(1), n = c.number(2), pv = c.number(3);
    if (n == 0)
        throw ErrorResult{err::kDiv0};
    return number(pv * r * (per / n - 1));
}

}  // namespace

const std::vector<FunctionEntry>& financeFunctions() {
    static const std::vector<FunctionEntry> table = {
        {"PV", pvFn},      {"FV", fvFn},   {"PMT", pmtFn}, {"NPER", nper},
        {"RATE", rate},    {"IPMT", ipmtFn}, {"PPMT", ppmt}, {"NPV", npv},
        {"IRR", irr},      {"MIRR", mirr}, {"FVSCHEDULE", fvSchedule},
        {"SLN", sln},      {"SYD", syd},   {"DDB", ddb},   {"DB", db},
        {"ISPMT", ispmt},
    };
    return table;
}

}  // namespace velmora::formula
