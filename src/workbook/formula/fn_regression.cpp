// Straight-line and exponential fits of one variable: LINEST, LOGEST,
// TREND, GROWTH.
#include "workbook/formula/library.h"

#include <cmath>

namespace velmora::formula {

namespace {

std::vector<double> valuesOf(const RangeView& r) {
    std::vector<double> out;
    for (int row = 0; row < r.rows(); ++row)
        for (int c = 0; c < r.columns(); ++c) {
            const Value& v = r.at(row, c);
            if (v.isError())
                throw ErrorResult{v.code};
            if (!v.isNumber())
                throw ErrorResult{err::kValue};
            out.push_back(v.number);
        }
    return out;
}

struct Fit {
    double slope = 0, intercept = 0;
    // Statistics as LINEST gives them.
    double slopeError = 0, interceptError = 0, r2 = 0, yError = 0, f = 0, df = 0, ssReg = 0,
           ssResid = 0;
    bool withConstant = true;
};

// The least-squares line through the points as spreadsheet programs fit it:
// on values centred on their means (unless the line must pass through the
// origin), the line by a Householder reflection, the explained sum of
// squares from the centred sums and the unexplained one from the residuals.
Fit fit(const std::vector<double>& x, const std::vector<double>& y, bool constant) {
    const double n = double(x.size());
    if (x.size() != y.size() || x.empty())
        throw ErrorResult{err::kRef};
    Fit f;
    f.withConstant = constant;
    double mx = 0, my = 0;
    if (constant) {
        for (size_t i = 0; i < x.size(); ++i) {
            mx += x[i];
            my += y[i];
        }
        mx /= n;
        my /= n;
    }
    std::vector<double> xc(x.size()), yc(y.size());
    double sxx = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        xc[i] = x[i] - mx;
        yc[i] = y[i] - my;
        sxx += xc[i] * xc[i];
    }
    if (sxx == 0)
        throw ErrorResult{err::kDiv0};
    // The reflection taking xc onto its first axis, applied to xc and yc.
    const double norm = std::sqrt(sxx);
    const double alpha = xc[0] >= 0 ? -norm : norm;
    std::vector<double> v = xc;
    v[0] -= alpha;
    double vv = 0, vx = 0, vy = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        vv += v[i] * v[i];
        vx += v[i] * xc[i];
        vy += v[i] * yc[i];
    }
    const double r = xc[0] - 2 * vx / vv * v[0];
    const double q = yc[0] - 2 * vy / vv * v[0];
    f.slope = q / r;
    f.intercept = my - f.slope * mx;
    for (size_t i = 0; i < x.size(); ++i) {
        const double e = y[i] - (f.slope * x[i] + f.intercept);
        f.ssResid += e * e;
    }
    // The explained sum of squares from the centred sums.
    double sxy = 0, syy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxy += xc[i] * yc[i];
        syy += yc[i] * yc[i];
    }
    f.ssReg = sxy / sxx * sxy;
    f.df = n - (constant ? 2 : 1);
    f.r2 = syy == 0 ? 1 : f.ssReg / syy;
    if (f.df > 0) {
        f.yError = std::sqrt(f.ssResid / f.df);
        f.slopeError = f.yError / std::sqrt(sxx);
        f.interceptError = constant ? f.yError * std::sqrt(1 / n + mx * mx / sxx) : 0;
        f.f = f.ssResid == 0 ? 0 : f.ssReg / (f.ssResid / f.df);
    }
    return f;
}

// The known values: y, and x (1, 2, 3 ... when left out).
void knowns(Call& c, bool logarithm, std::vector<double>& x, std::vector<double>& y) {
    y = valuesOf(c.range(0));
    if (logarithm)
        for (double& v : y) {
            if (v <= 0)
                throw ErrorResult{err::kNum};
            v = std::log(v);
        }
    if (c.given(1)) {
        const RangeView xs = c.range(1);
        if (xs.rows() * xs.columns() != int(y.size()))
            throw Unsupported{};  // several variables
        x = valuesOf(xs);
    } else {
        for (size_t i = 0; i < y.size(); ++i) x.push_back(double(i + 1));
    }
}

template <bool Logarithm>
Operand estimate(Call& c) {
    std::vector<double> x, y;
    knowns(c, Logarithm, x, y);
    const Fit f = fit(x, y, c.boolean(2, true));
    const bool stats = c.boolean(3, false);
    Matrix m(stats ? 5 : 1, 2);
    m.at(0, 0) = Value::ofNumber(Logarithm ? std::exp(f.slope) : f.slope);
    m.at(0, 1) = Value::ofNumber(Logarithm ? std::exp(f.intercept) : f.intercept);
    if (stats) {
        m.at(1, 0) = Value::ofNumber(f.slopeError);
        m.at(1, 1) = f.withConstant ? Value::ofNumber(f.interceptError) : Value::ofError(err::kNA);
        m.at(2, 0) = Value::ofNumber(f.r2);
        m.at(2, 1) = Value::ofNumber(f.yError);
        m.at(3, 0) = Value::ofNumber(f.f);
        m.at(3, 1) = Value::ofNumber(f.df);
        m.at(4, 0) = Value::ofNumber(f.ssReg);
        m.at(4, 1) = Value::ofNumber(f.ssResid);
    }
    return Operand::matrix(std::move(m));
}

template <bool Logarithm>
Operand predict(Call& c) {
    std::vector<double> x, y;
    knowns(c, Logarithm, x, y);
    const Fit f = fit(x, y, c.boolean(3, true));
    Matrix m;
    if (c.given(2)) {
        const RangeView at = c.range(2);
        m = Matrix(at.rows(), at.columns());
        const std::vector<double> xs = valuesOf(at);
        for (size_t i = 0; i < xs.size(); ++i) m.cells[i] = Value::ofNumber(xs[i]);
    } else {
        const RangeView shape = c.range(0);
        m = Matrix(shape.rows(), shape.columns());
        for (size_t i = 0; i < x.size(); ++i) m.cells[i] = Value::ofNumber(x[i]);
    }
    for (Value& v : m.cells) {
        const double p = f.slope * v.number + f.intercept;
        v = Value::ofNumber(Logarithm ? std::exp(p) : p);
    }
    return Operand::matrix(std::move(m));
}

}  // namespace

const std::vector<FunctionEntry>& regressionFunctions() {
    static const std::vector<FunctionEntry> table = {
        {"LINEST", estimate<false>},
        {"LOGEST", estimate<true>},
        {"TREND", predict<false>},
        {"GROWTH", predict<true>},
    };
    return table;
}

}  // namespace velmora::formula
