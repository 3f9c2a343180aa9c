#pragma once

#include <QList>
#include <QVariant>

#include <optional>

// One stored answer as the analyses read it: weightage and score, either of them possibly empty.
struct StoredAnswer {
    QVariant weightage;
    QVariant score;
};

// The arithmetic of the satisfaction index and the performance matrix. The widths and the rounding at every step
// are part of the figures users have always been shown, so they are kept as they are; only the whole-number
// accumulators are wider than they once were, so that large groups no longer overflow. A value beyond even these
// throws std::overflow_error.
namespace AnalysisArithmetic
{

// The nearest whole number, an exact half going to the even neighbour.
qint64 roundHalfEven(double value);

// The satisfaction index of one parameter on one date, from its answers in the order they were stored; 0 when no
// answer counts (an answer counts when both its weightage and its score are given and not 0).
float satisfactionIndex(const QList<StoredAnswer>& answers);

// Mean weightage and mean score of one parameter's answers over all of them, each rounded to hundredths; nothing
// when both sums are 0.
struct Means {
    double wt = 0;
    double sc = 0;
};
std::optional<Means> parameterMeans(const QList<StoredAnswer>& answers);

} // namespace AnalysisArithmetic
