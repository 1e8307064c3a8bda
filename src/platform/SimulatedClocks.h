#pragma once
// A simulated clock layer for the tests, linked in place of the real backend.
//
// Time is virtual: it is one nanosecond counter that moves only when the
// program calls the clock layer. Each call costs a set number of
// nanoseconds and sleeping advances the counter without sleeping, so a whole
// survey runs in a fraction of a real second and every figure it reports is
// exactly reproducible.

#include "platform/Clocks.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::sim {

struct Config {
    // Virtual cost of one call, in ns. Each must be above zero, or a loop
    // that waits for time to pass would never end.
    std::int64_t tickCountCost = 250;
    std::int64_t performanceCounterCost = 400;
    std::int64_t multimediaTimeCost = 300;
    std::int64_t fileTimeCost = 200;
    std::int64_t localDateTimeCost = 1000;
    std::int64_t timeStampCounterCost = 50;
    std::int64_t yieldCost = 2000;      // sleepMs(0)
    std::int64_t sleepOvershoot = 0;    // added to every non-zero sleep

    bool hasPerformanceCounter = true;
    std::int64_t performanceFrequency = 10000000;  // counts per second
    std::uint64_t timeStampHz = 3000000000ULL;  // any rate, even an absurd one
    std::uint64_t timeStampStart = 0;

    // Tick clock: steps every tickPeriod ns, reported in whole ms and started
    // at tickStartMs (set it just below 2^32 to wrap during a run).
    std::int64_t tickPeriod = 15625000;
    std::uint32_t tickStartMs = 1000000;
    // Multimedia timer: steps every multimediaPeriod ns.
    std::int64_t multimediaPeriod = 1000000;
    std::uint32_t multimediaStartMs = 2000000;

    // File time: steps every fileTimePeriod ns (0: never moves) from
    // fileTimeStart, in 100 ns units. At virtual time fileTimeJumpAt (if
    // above zero) the clock is set by fileTimeJump units, possibly back.
    std::int64_t fileTimePeriod = 15625000;
    std::uint64_t fileTimeStart = 134000000000000000ULL;
    std::int64_t fileTimeJumpAt = 0;
    std::int64_t fileTimeJump = 0;

    double localDateTimeStart = 46000.5;

    bool timeAdjustmentSucceeds = true;
    TimeAdjustment timeAdjustment{156250, 156250, true};
    std::uint32_t timeAdjustmentError = 87;
    std::string errorMessage = "The parameter is incorrect.  \r\n";

    std::uint32_t devCapsResult = 0;
    TimerCaps devCaps{1, 1000000};

    // System facts (SystemFactsSimulated.cpp).
    std::string fileVersion = "1.2.3.4";
};

// Starts virtual time at zero under a new configuration and clears the
// counts below.
void reset(const Config& config = Config{});
// Virtual nanoseconds since the last reset.
std::int64_t now();
// The configuration in force; a test may change it in the middle of a run,
// for instance to make the file time jump once a capture has begun.
Config& config();

// The clock layer's calls, for tests that check which calls a loop makes
// and in what order.
enum class Call { TickCount, PerformanceCounter, MultimediaTime, FileTime, LocalDateTime, TimeStampCounter,
                  Yield, Sleep };
inline constexpr int kCallKinds = 8;

struct Counts {
    // How often each call was made.
    std::array<std::int64_t, kCallKinds> calls{};
    std::int64_t of(Call call) const { return calls[static_cast<int>(call)]; }
    // The first calls after the reset, in order (the rest are only counted).
    static constexpr int kTraced = 16;
    std::array<Call, kTraced> firstCalls{};
    int traced = 0;
    std::vector<Call> trace() const { return {firstCalls.begin(), firstCalls.begin() + traced}; }

    int sleeps = 0;  // non-zero sleeps
    int beginPeriods = 0;
    int endPeriods = 0;
    int openPeriods = 0;  // begins not yet ended; never negative when paired
    bool endBeforeBegin = false;
};
const Counts& counts();

}  // namespace platform::sim
