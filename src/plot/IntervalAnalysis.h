#pragma once
// What the interval plot reports about a capture of file-time steps: the
// median and spread of every step, and a "clean" mean over the steps near
// the median, which leaves out the odd long or short step that a late
// clock interrupt or a clock adjustment produces.

#include "format/ResultFormat.h"
#include "timing/Measure.h"

#include <cstddef>
#include <string>

namespace plot {

struct IntervalAnalysis {
    double median = 0;         // µs
    long double mean = 0;      // µs, over every step; decides the axis only
    long double deviation = 0; // µs, over every step
    std::size_t cleanCount = 0;
    double cleanMean = 0;      // µs, valid when cleanCount > 0
    std::string resultLine;
    std::string statsLine;
};

// Steps within half the median of the median (strictly) are clean. Needs
// count >= 1; the steps are in µs, in capture order, and left untouched.
IntervalAnalysis analyseIntervals(const double* stepsUs, std::size_t count,
                                  const format::ResultFormatter& format);

// Captures every file-time step (see timing::captureFileTimeSteps) and
// converts them to µs, asking for a 1 ms multimedia timer period during the
// capture when `multimediaPeriod` is set (and always releasing it). Returns
// the number of steps.
std::size_t captureIntervalsUs(bool multimediaPeriod, timing::FileTimeSteps& steps);

// The left axis switches from automatic to a fixed maximum once a capture's
// mean step exceeds this (a 15.6 ms tick), and stays fixed.
inline constexpr double kFixAxisAboveMeanUs = 9500;
inline constexpr double kFixedAxisMaxUs = 20000;
inline constexpr double kAxisMinUs = 37.5;

// An automatic axis maximum for data up to maxValue above a fixed minimum:
// a round number with a little headroom, and a round tick interval.
struct AxisRange {
    double max = 0;
    double tickInterval = 0;
};
AxisRange automaticAxis(double minimum, double maxValue);
AxisRange fixedAxis(double minimum, double maximum);

}  // namespace plot
