#pragma once
// Small timing helpers shared by the survey and the interval plot.

#include <cstddef>

namespace timing {

// A short estimate of the time-stamp counter rate in Hz: counter cycles over
// a 10 ms sleep, timed by the performance counter. 0 when the system has no
// performance counter (then it does not sleep at all), or when the counter
// did not move across the sleep. Only the low 32 bits of the cycle count are
// used, which is enough below about 400 GHz.
double GetCPUSpeed();

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
