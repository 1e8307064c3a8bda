#pragma once
// The interval capture: every step of the system file time, and what the
// plot window and the terminal report say about it: the median and spread
// of every step, and a "clean" mean over the steps near the median, which
// leaves out the odd long or short step that a late clock interrupt or a
// clock adjustment produces. Free of widgets: both callers share it.

#include "format/ResultFormat.h"
#include "timing/Measure.h"

#include <cstddef>
#include <string>

namespace capture {

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

// How long a capture runs at most, as the reports write it ("1.563 s").
std::string captureSpan();
// What to say when the file time did not move during a capture.
std::string noChangeLine();

}  // namespace capture
