#include "capture/IntervalCapture.h"

#include "platform/Clocks.h"
#include "timing/Statistics.h"

#include <cmath>
#include <cstdio>

namespace capture {

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

std::string captureSpan() {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u s", static_cast<unsigned>(timing::kFileTimeCaptureMs / 1000),
                  static_cast<unsigned>(timing::kFileTimeCaptureMs % 1000));
    return text;
}

std::string noChangeLine() { return "GSTAFT resolution: no change of the file time in " + captureSpan(); }

}  // namespace capture
