#include "analysis/AnalysisArithmetic.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace AnalysisArithmetic
{

namespace
{

// Whole numbers up to here are exact in a double, so the rounding below stays exact.
constexpr double kWholeLimit = 9007199254740992.0; // 2^53
// An answer's own weightage or score: wide enough for any answer, narrow enough that n of them sum exactly.
constexpr double kAnswerLimit = 2147483648.0; // 2^31

// An answer's value as a number; an empty or non-numeric value stands for none.
std::optional<double> number(const QVariant& value)
{
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok && std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
}

// A value held in single precision, as the matrix holds its answers and its weightage sum.
float single(double value)
{
    if (!(std::fabs(value) <= double(std::numeric_limits<float>::max())))
        throw std::overflow_error("single-precision value out of range");
    return static_cast<float>(value);
}

qint64 answerWhole(double value)
{
    if (!(std::fabs(value) < kAnswerLimit))
        throw std::overflow_error("answer value out of range");
    return roundHalfEven(value);
}

// Rounded to hundredths; only a double that is itself exactly halfway goes to the even hundredth (0.125 gives
// 0.12, while 23/40, stored as 0.57499..., gives 0.57).
double roundHundredthsHalfEven(double value)
{
    const double scaled = value * 100;
    // The product's rounding error, exactly: value * 100 == scaled + error.
    const double error = std::fma(value, 100, -scaled);
    double whole = std::nearbyint(scaled);
    if (std::fabs(scaled - std::trunc(scaled)) == 0.5 && error != 0)
        whole = error > 0 ? std::ceil(scaled) : std::floor(scaled);
    return whole / 100;
}

} // namespace

qint64 roundHalfEven(double value)
{
    if (!(std::fabs(value) < kWholeLimit))
        throw std::overflow_error("whole number out of range");
    // The default rounding mode rounds to nearest with ties to even.
    return static_cast<qint64>(std::nearbyint(value));
}

float satisfactionIndex(const QList<StoredAnswer>& answers)
{
    const qsizetype n = answers.size();
    if (n == 0)
        return 0;
    QList<qint64> wt(n, 0);
    QList<qint64> sc(n, 0);
    qint64 sum = 0;
    for (qsizetype k = 0; k < n; ++k) {
        const std::optional<double> w = number(answers[k].weightage);
        const std::optional<double> s = number(answers[k].score);
        if (w && s && *w != 0 && *s != 0) {
            wt[k] = answerWhole(*w);
            sc[k] = answerWhole(*s);
        }
        sum += wt[k];
    }
    // Every row counts in n, counted or not.
    const float avg = static_cast<float>(double(sum) / double(n));
    qint64 total = 0;
    for (qsizetype k = 0; k < n; ++k) {
        const float nw = avg != 0 ? static_cast<float>(double(wt[k]) / double(avg)) : 0.0f;
        const float pr = static_cast<float>(double(sc[k]) * double(nw));
        // The running total is rounded at every step.
        total = roundHalfEven(double(total) + double(pr));
    }
    return total != 0 ? static_cast<float>(double(total) / double(n)) : 0.0f;
}

std::optional<Means> parameterMeans(const QList<StoredAnswer>& answers)
{
    const qsizetype n = answers.size();
    if (n == 0)
        return std::nullopt;
    float weightageSum = 0;
    qint64 scoreSum = 0;
    for (const StoredAnswer& a : answers) {
        // Zeros and empty values add nothing, yet their rows stay in the divisor.
        const std::optional<double> w = number(a.weightage);
        if (w && *w != 0)
            weightageSum = single(double(weightageSum) + double(single(*w)));
        const std::optional<double> s = number(a.score);
        if (s && *s != 0)
            scoreSum = roundHalfEven(double(scoreSum) + double(single(*s)));
    }
    if (weightageSum == 0 && scoreSum == 0)
        return std::nullopt;
    return Means{roundHundredthsHalfEven(double(weightageSum) / double(n)),
                 roundHundredthsHalfEven(double(scoreSum) / double(n))};
}

} // namespace AnalysisArithmetic
