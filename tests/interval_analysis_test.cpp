// What the interval plot reports about a list of steps.

#include "capture/IntervalCapture.h"
#include "plot/ChartAxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

capture::IntervalAnalysis analyse(const std::vector<double>& steps, const char* separator = ".") {
    return capture::analyseIntervals(steps.data(), steps.size(), format::ResultFormatter(separator));
}

TEST(IntervalAnalysis, StepsAtExactlyHalfTheMedianAwayAreNotClean) {
    // Median 1000: 1500 and 500 lie exactly 500 away, on the limit.
    const auto a = analyse({1000, 1500, 1000, 500, 1000});
    EXPECT_EQ(a.cleanCount, 3U);
    EXPECT_DOUBLE_EQ(a.cleanMean, 1000);
    EXPECT_EQ(a.resultLine, "GSTAFT mean resolution: 1000.0 µs  (median = 1000.0 µs, std.dev = 353.6 µs)");
    EXPECT_EQ(a.statsLine, "Mean from 3 \"clean\" intervals, median & std. dev. over 5 intervals");
}

TEST(IntervalAnalysis, StepsJustInsideTheLimitAreClean) {
    const auto a = analyse({1000, 1499.9, 1000, 500.1, 1000});
    EXPECT_EQ(a.cleanCount, 5U);
    EXPECT_EQ(a.statsLine, "Mean from 5 \"clean\" intervals, median & std. dev. over 5 intervals");
}

TEST(IntervalAnalysis, AllStepsEqualGiveMeanEqualToMedianAndNoSpread) {
    const auto a = analyse(std::vector<double>(100, 15625));
    EXPECT_EQ(a.resultLine, "GSTAFT mean resolution: 15625.0 µs  (median = 15625.0 µs, std.dev = 0.0 µs)");
    EXPECT_EQ(a.statsLine, "Mean from 100 \"clean\" intervals, median & std. dev. over 100 intervals");
    EXPECT_DOUBLE_EQ(static_cast<double>(a.mean), 15625);
}

TEST(IntervalAnalysis, BackwardStepCountsInEveryStatisticButIsNotClean) {
    // The clock set back by one second between two 15.625 ms steps.
    std::vector<double> steps(9, 15625);
    steps.push_back(-1000000 + 15625);
    const auto a = analyse(steps);
    EXPECT_DOUBLE_EQ(a.median, 15625);
    EXPECT_DOUBLE_EQ(static_cast<double>(a.mean), (9 * 15625.0 - 984375) / 10);
    EXPECT_GT(a.deviation, 300000);
    EXPECT_EQ(a.cleanCount, 9U);
    EXPECT_EQ(a.resultLine,
              "GSTAFT mean resolution: 15625.0 µs  (median = 15625.0 µs, std.dev = 316227.8 µs)");
    EXPECT_EQ(a.statsLine, "Mean from 9 \"clean\" intervals, median & std. dev. over 10 intervals");
}

TEST(IntervalAnalysis, NoCleanStepsFallsBackToTheMedianLine) {
    // A median of zero (or below) leaves no step strictly inside the limit.
    const auto a = analyse({-5, 5});
    EXPECT_EQ(a.cleanCount, 0U);
    EXPECT_EQ(a.resultLine, "GSTAFT median resolution: 0.0 µs  (std.dev=7.1 µs)");
    EXPECT_EQ(a.statsLine, "Median & std. dev. over 2 intervals");
}

TEST(IntervalAnalysis, SingleStepHasNoSpread) {
    const auto a = analyse({15625});
    EXPECT_EQ(a.resultLine, "GSTAFT mean resolution: 15625.0 µs  (median = 15625.0 µs, std.dev = 0.0 µs)");
    EXPECT_EQ(a.statsLine, "Mean from 1 \"clean\" intervals, median & std. dev. over 1 intervals");
}

TEST(IntervalAnalysis, UsesTheLocaleDecimalSeparator) {
    const auto a = analyse({999.95, 999.95}, ",");
    EXPECT_EQ(a.resultLine, "GSTAFT mean resolution: 1000,0 µs  (median = 1000,0 µs, std.dev = 0,0 µs)");
}

TEST(AxisRange, AutomaticFitsTheDataWithRoundTicksAndHeadroom) {
    EXPECT_DOUBLE_EQ(plot::automaticAxis(plot::kAxisMinUs, 4000).max, 4500);
    EXPECT_DOUBLE_EQ(plot::automaticAxis(plot::kAxisMinUs, 4000).tickInterval, 500);
    for (const double maxValue : {40.0, 1000.0, 1020.0, 4000.0, 9999.0, 15625.0, 1e6}) {
        SCOPED_TRACE(maxValue);
        const plot::AxisRange r = plot::automaticAxis(plot::kAxisMinUs, maxValue);
        EXPECT_GE(r.max, maxValue * 1.05);  // headroom above the highest point
        EXPECT_LE(r.max, maxValue * 1.3);   // but not a mostly empty chart
        // A round interval (1, 2, 2.5 or 5 times a power of ten) that ends
        // on the maximum, with a readable number of ticks.
        const double mantissa = r.tickInterval / std::pow(10.0, std::floor(std::log10(r.tickInterval)));
        EXPECT_TRUE(mantissa == 1 || mantissa == 2 || mantissa == 2.5 || mantissa == 5) << mantissa;
        EXPECT_DOUBLE_EQ(std::fmod(r.max, r.tickInterval), 0);
        const double ticks = (r.max - plot::kAxisMinUs) / r.tickInterval;
        EXPECT_GE(ticks, 4);
        EXPECT_LE(ticks, 11);
    }
    // Data wholly below the fixed minimum still gets a range above it.
    EXPECT_GT(plot::automaticAxis(plot::kAxisMinUs, 1).max, plot::kAxisMinUs);

    const plot::AxisRange fixed = plot::fixedAxis(plot::kAxisMinUs, plot::kFixedAxisMaxUs);
    EXPECT_DOUBLE_EQ(fixed.max, 20000);
    EXPECT_DOUBLE_EQ(fixed.tickInterval, 2000);
}

}  // namespace
