#include "plot/ChartAxes.h"

#include <algorithm>
#include <cmath>

namespace plot {
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
