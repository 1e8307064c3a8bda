#pragma once
// Pure statistics over a list of steps, shared by the survey, the interval
// plot and the reports. No clock is read here.

#include <cstddef>

namespace timing {

// The median of values[0..count), count >= 1. The caller's list keeps its
// order: the plot draws the steps in capture order after taking the median.
double Median(const double* values, std::size_t count);

struct MeanDeviation {
    long double mean = 0;
    long double deviation = 0;
};
// Mean and sample standard deviation (divisor count - 1) of
// values[0..count), count >= 1. One value has no spread: its deviation is 0.
MeanDeviation MeanAndDeviation(const double* values, std::size_t count);

}  // namespace timing
