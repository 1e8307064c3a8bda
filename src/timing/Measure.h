#pragma once
// The measurements: the measuring loops and the short sleeps they time.
// The loops are the product: each holds the clock calls it
// names, a counter and a comparison, and nothing else — no virtual call, no
// function object, no allocation, no text — because the figures are derived
// from how many times the loop runs.

#include <array>
#include <cstddef>
#include <cstdint>

namespace timing {

// One-second counting loops: read the tick count S, then repeat {read tick
// T; do X; count} until T is more than 1000 ms past S. The result is the
// number of iterations N; 1/N s is the cost of one tick read plus one X
// (plus the loop's own overhead, which cancels against the bare loop).
std::int64_t countBareLoop();                // X = nothing: the baseline
std::int64_t countPerformanceCounterLoop();  // X = QueryPerformanceCounter
std::int64_t countMultimediaTimeLoop();      // X = timeGetTime, one extra call after S
std::int64_t countLocalDateTimeLoop();       // X = local date-time, one discarded read before

// The cycle counter's rate in whole MHz (truncated) over a one-second sleep.
// The sleep is not timed, so its overshoot is this figure's error.
std::int64_t timeStampCounterMHzOverOneSecond();

// Performance counter counts across three steps of the multimedia timer,
// starting right after one step (see multimediaTimerStepUs).
std::int64_t multimediaTimerThreeStepsCounts();

// A short estimate of the time-stamp counter rate in Hz: counter cycles over
// a 10 ms sleep, timed by the performance counter. 0 when the system has no
// performance counter (then it does not sleep at all), or when the counter
// did not move across the sleep. Only the low 32 bits of the cycle count are
// used, which is enough below about 400 GHz.
double GetCPUSpeed();

// Every step of the tick count over 1.5 s.
struct TickSteps {
    double sum = 0;         // ms
    std::int32_t count = 0;
};
TickSteps measureTickSteps();

// Every non-zero step of the system file time, in 100 ns units and capture
// order, for up to kFileTimeCaptureMs or until the list is full.
inline constexpr std::uint32_t kFileTimeCaptureMs = 1563;
struct FileTimeSteps {
    static constexpr std::size_t kCapacity = 2000;
    std::array<double, kCapacity> steps{};
    std::size_t count = 0;
};
void captureFileTimeSteps(FileTimeSteps& out);

}  // namespace timing
