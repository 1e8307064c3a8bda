#include "timing/FigureArithmetic.h"

namespace timing {

double baselineSeconds(std::int64_t bareIterations) { return 1.0 / static_cast<double>(bareIterations); }

double callCostNs(std::int64_t iterations, double baselineSeconds) {
    return (1.0 / static_cast<double>(iterations) - baselineSeconds) * 1e9;
}

std::int64_t wholeMHz(std::uint64_t cyclesInOneSecond) {
    return static_cast<std::int64_t>(cyclesInOneSecond) / 1000000;
}

long double multimediaTimerStepUs(std::int64_t counts, std::int64_t frequency) {
    // Elapsed seconds * 1e6 / 3 steps.
    return static_cast<long double>(counts) * 333333.3333333333L / static_cast<long double>(frequency);
}

}  // namespace timing
