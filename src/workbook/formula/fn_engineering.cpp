// Engineering functions: conversions between number bases (BIN2DEC ...),
// DELTA, GESTEP and complex numbers written as text ("3+4i").
#include "workbook/formula/aggregate.h"
#include "workbook/formula/library.h"

#include <QRegularExpression>
#include <cmath>
#include <complex>

namespace velmora::formula {

namespace {

// Numbers in other bases have at most ten digits; ten digits with the top
// one set are negative (two's complement).
qint64 fromBase(const QString& text, int base) {
    if (text.size() > 10)
        throw ErrorResult{err::kNum};
    bool ok = false;
    const qint64 v = text.isEmpty() ? 0 : text.toLongLong(&ok, base);
    if (!text.isEmpty() && (!ok || v < 0))
        throw ErrorResult{err::kNum};
    const qint64 full = qint64(std::pow(double(base), 10));
    return text.size() == 10 && v >= full / 2 ? v - full : v;
}

QString toBase(qint64 v, int base, const Call& c, int placesArg) {
    const qint64 full = qint64(std::pow(double(base), 10));
    if (v < -full / 2 || v >= full / 2)
        throw ErrorResult{err::kNum};
    if (v < 0)
        return QString::number(full + v, base).toUpper();
    QString s = QString::number(v, base).toUpper();
    if (c.given(placesArg)) {
        const double places = std::trunc(c.number(placesArg));
        if (places < 1 || places > 10 || double(s.size()) > places)
            throw ErrorResult{err::kNum};
        s = s.rightJustified(int(places), u'0');
    }
    return s;
}

QString digitsText(const Call& c, int i) {
    const Value v = c.scalar(i);
    if (v.isError())
        throw ErrorResult{v.code};
    if (v.isBoolean())
        throw ErrorResult{err::kValue};
    return toText(v).text.trimmed();
}

template <int From, int To>
Operand convert(Call& c) {
    qint64 v;
    if (From == 10) {
        v = qint64(std::trunc(c.number(0)));
    } else {
        v = fromBase(digitsText(c, 0), From);
    }
    if (To == 10)
        return Value::ofNumber(double(v));
    return Value::ofText(toBase(v, To, c, 1));
}

Operand delta(Call& c) {
    return Value::ofNumber(c.number(0) == c.number(1, 0) ? 1 : 0);
}

Operand gestep(Call& c) {
    return Value::ofNumber(c.number(0) >= c.number(1, 0) ? 1 : 0);
}

using Complex = std::complex<double>;

struct ComplexText {
    Complex z;
    QChar suffix = u'i';
};

ComplexText parseComplex(const Value& v) {
    if (v.isError())
        throw ErrorResult{v.code};
    if (v.isNumber())
        return {Complex(v.number, 0), u'i'};
    if (v.isEmpty())
        return {};
    if (!v.isText())
        throw ErrorResult{err::kValue};
    static const QRegularExpression pattern(QStringLiteral(
        "^([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)?"
        "(?:([+-])?((?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)?([ij]))?$"));
    const QRegularExpressionMatch m = pattern.match(v.text);
    if (!m.hasMatch() || v.text.isEmpty())
        throw ErrorResult{err::kNum};
    ComplexText out;
    const double real = m.hasCaptured(1) ? m.captured(1).toDouble() : 0;
    double imaginary = 0;
    if (m.hasCaptured(4)) {
        // "3+4i", "-i", "4i": without a number the imaginary part is 1.
        if (m.hasCaptured(1) && !m.hasCaptured(2))
            throw ErrorResult{err::kNum};
        imaginary = m.hasCaptured(3) ? m.captured(3).toDouble() : 1;
        if (m.captured(2) == QLatin1String("-"))
            imaginary = -imaginary;
        out.suffix = m.captured(4)[0];
    }
    out.z = Complex(real, imaginary);
    return out;
}

QString complexText(Complex z, QChar suffix) {
    const double re = std::fabs(z.real()) < 1e-300 ? 0 : z.real();
    const double im = std::fabs(z.imag()) < 1e-300 ? 0 : z.imag();
    if (!std::isfinite(re) || !std::isfinite(im))
        throw ErrorResult{err::kNum};
    if (im == 0)
        return numberToText(re);
    QString imaginary = im == 1 ? QString() : im == -1 ? QStringLiteral("-") : numberToText(im);
    imaginary += suffix;
    if (re == 0)
        return imaginary;
    return numberToText(re) + (im > 0 ? QStringLiteral("+") : QString()) + imaginary;
}

Operand complexFn(Call& c) {
    const double re = c.number(0), im = c.number(1);
    const QString suffix = c.given(2) ? c.text(2) : QStringLiteral("i");
    if (suffix != QLatin1String("i") && suffix != QLatin1String("j"))
        throw ErrorResult{err::kValue};
    return Value::ofText(complexText(Complex(re, im), suffix[0]));
}

ComplexText argument(const Call& c, int i) {
    return parseComplex(c.scalar(i));
}

template <double (*F)(const Complex&)>
Operand imNumber(Call& c) {
    return Value::ofNumber(F(argument(c, 0).z));
}
double imReal(const Complex& z) {
    return z.real();
}
double imImaginary(const Complex& z) {
    return z.imag();
}
double imAbs(const Complex& z) {
    return std::abs(z);
}
double imArgument(const Complex& z) {
    if (z == Complex(0, 0))
        throw ErrorResult{err::kDiv0};
    return std::arg(z);
}

template <Complex (*F)(const Complex&)>
Operand imFunction(Call& c) {
    const ComplexText a = argument(c, 0);
    return Value::ofText(complexText(F(a.z), a.suffix));
}
Complex imConjugate(const Complex& z) {
    return std::conj(z);
}
Complex imSqrt(const Complex& z) {
    return std::sqrt(z);
}
Complex imExp(const Complex& z) {
    return std::exp(z);
}
Complex imLn(const Complex& z) {
    if (z == Complex(0, 0))
        throw ErrorResult{err::kNum};
    return std::log(z);
}
Complex imLog10(const Complex& z) {
    return imLn(z) / std::log(10.0);
}
Complex imLog2(const Complex& z) {
    return imLn(z) / std::log(2.0);
}
Complex imSin(const Complex& z) {
    return std::sin(z);
}
Complex imCos(const Complex& z) {
    return std::cos(z);
}

Operand imPower(Call& c) {
    const ComplexText a = argument(c, 0);
    const double n = c.number(1);
    if (a.z == Complex(0, 0))
        throw ErrorResult{err::kNum};
    return Value::ofText(complexText(std::polar(std::pow(std::abs(a.z), n), std::arg(a.z) * n),
                                     a.suffix));
}

template <bool Product>
Operand imFold(Call& c) {
    Complex total = Product ? Complex(1, 0) : Complex(0, 0);
    QChar suffix = u'i';
    for (int i = 0; i < c.count(); ++i)
        forEachValue(c.arg(i), c.ctx, [&](const Value& v) {
            const ComplexText t = parseComplex(v);
            if (v.isText())
                suffix = t.suffix;
            total = Product ? total * t.z : total + t.z;
        });
    return Value::ofText(complexText(total, suffix));
}

Operand imSub(Call& c) {
    const ComplexText a = argument(c, 0), b = argument(c, 1);
    return Value::ofText(complexText(a.z - b.z, a.suffix));
}

Operand imDiv(Call& c) {
    const ComplexText a = argument(c, 0), b = argument(c, 1);
    if (b.z == Complex(0, 0))
        throw ErrorResult{err::kNum};
    return Value::ofText(complexText(a.z / b.z, a.suffix));
}

}  // namespace

const std::vector<FunctionEntry>& engineeringFunctions() {
    static const std::vector<FunctionEntry> table = {
        {"BIN2DEC", convert<2, 10>},  {"BIN2OCT", convert<2, 8>},   {"BIN2HEX", convert<2, 16>},
        {"OCT2BIN", convert<8, 2>},   {"OCT2DEC", convert<8, 10>},  {"OCT2HEX", convert<8, 16>},
        {"DEC2BIN", convert<10, 2>},  {"DEC2OCT", convert<10, 8>},  {"DEC2HEX", convert<10, 16>},
        {"HEX2BIN", convert<16, 2>},  {"HEX2OCT", convert<16, 8>},  {"HEX2DEC", convert<16, 10>},
        {"DELTA", delta},             {"GESTEP", gestep},           {"COMPLEX", complexFn},
        {"IMREAL", imNumber<imReal>}, {"IMAGINARY", imNumber<imImaginary>},
        {"IMABS", imNumber<imAbs>},   {"IMARGUMENT", imNumber<imArgument>},
        {"IMCONJUGATE", imFunction<imConjugate>},
        {"IMSQRT", imFunction<imSqrt>},
        {"IMEXP", imFunction<imExp>}, {"IMLN", imFunction<imLn>},   {"IMLOG10", imFunction<imLog10>},
        {"IMLOG2", imFunction<imLog2>}, {"IMSIN", imFunction<imSin>}, {"IMCOS", imFunction<imCos>},
        {"IMPOWER", imPower},         {"IMSUM", imFold<false>},     {"IMPRODUCT", imFold<true>},
        {"IMSUB", imSub},             {"IMDIV", imDiv},
    };
    return table;
}

}  // namespace velmora::formula
