#pragma once
// The arithmetic that turns the measuring loops' raw counts into the
// survey's figures. Pure: the same numbers always give the same figure.

#include <cstdint>

namespace timing {

// What a counting loop's iteration count says: the bare loop gives the
// baseline (seconds per iteration, the tick read and the loop's own
// overhead); a loop with X gives X's cost in ns as its time per iteration
// less the baseline.
double baselineSeconds(std::int64_t bareIterations);
double callCostNs(std::int64_t iterations, double baselineSeconds);

// Cycles over one second in whole MHz, truncated.
std::int64_t wholeMHz(std::uint64_t cyclesInOneSecond);

// One multimedia timer step in µs from the performance counter counts
// across three steps; frequency > 0.
long double multimediaTimerStepUs(std::int64_t counts, std::int64_t frequency);

}  // namespace timing
