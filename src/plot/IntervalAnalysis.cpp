#include "plot/IntervalAnalysis.h"

#include "platform/Clocks.h"
#include "timing/Utils.h"

#include <cmath>

namespace plot {

IntervalAnalysis analyseIntervals(const double* stepsUs, std::size_t count,
                                  const format::ResultFormatter& format) {
    IntervalAnalysis a;
    const timing::MeanDeviation spread = timing::MeanAndDeviation(stepsUs, count);
    a.mean = spread.mean;
    a.deviation = spread.deviation;
    a.median = timing::Median(stepsUs, count);

    const double limit = a.median / 2;
    double cleanSum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (std::fabs(stepsUs[i] - a.median) < limit) {
            cleanSum += stepsUs[i];
            ++a.cleanCount;
        }
    }
    if (a.cleanCount > 0) {
        a.cleanMean = cleanSum / static_cast<double>(a.cleanCount);
        a.resultLine = format("GSTAFT mean resolution: %.1f µs  (median = %.1f µs, std.dev = %.1f µs)",
                              a.cleanMean, a.median, a.deviation);
        a.statsLine = format("Mean from %d \"clean\" intervals, median & std. dev. over %d intervals",
                             a.cleanCount, count);
    } else {
        a.resultLine = format("GSTAFT median resolution: %.1f µs  (std.dev=%.1f µs)", a.median, a.deviation);
        a.statsLine = format("Median & std. dev. over %d intervals", count);
    }
    return a;
}

std::size_t captureIntervalsUs(bool multimediaPeriod, timing::FileTimeSteps& steps) {
    if (multimediaPeriod) platform::timerBeginPeriod(1);
    timing::captureFileTimeSteps(steps);
    if (multimediaPeriod) platform::timerEndPeriod(1);
    // 100 ns units to µs, after the capture so the loop stays bare.
    for (std::size_t i = 0; i < steps.count; ++i) steps.steps[i] /= 10;
    return steps.count;
}

namespace {

// The smallest of 1, 2, 2.5 and 5 times a power of ten that is >= value.
double niceAtLeast(double value) {
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (m * power >= value * (1 - 1e-12)) return m * power;
    }
    return 10 * power;
}

}  // namespace

AxisRange fixedAxis(double minimum, double maximum) {
    // At most ten labelled ticks over the range.
    return {maximum, niceAtLeast((maximum - minimum) / 10)};
}

AxisRange automaticAxis(double minimum, double maxValue) {
    // 5 % headroom, so the top of the line does not run along the frame,
    // rounded up to the next tick.
    const double top = std::max(maxValue, minimum) * 1.05;
    const double span = top - minimum;
    const double interval = niceAtLeast(span / 10);
    const double max = std::ceil(top / interval) * interval;
    return {max, interval};
}

}  // namespace plot
