#include "timing/Measure.h"

#include "platform/Clocks.h"
#include "timing/FigureArithmetic.h"

namespace timing {
namespace {

inline void nothing() {}

// X and the optional extra call after S are template arguments, so each
// loop compiles to direct calls into the clock layer.
template <auto X, auto AfterStart = nothing>
std::int64_t countForOneSecond() {
    std::int64_t n = 0;
    const std::uint32_t start = platform::tickCount();
    AfterStart();
    std::uint32_t t = 0;
    do {
        t = platform::tickCount();
        X();
        ++n;
    } while (static_cast<std::uint32_t>(t - start) <= 1000);  // wraps harmlessly at 2^32
    return n;
}

inline void readPerformanceCounter() { static_cast<void>(platform::queryPerformanceCounter()); }
inline void readMultimediaTime() { static_cast<void>(platform::multimediaTime()); }
inline void readLocalDateTime() { static_cast<void>(platform::localDateTime()); }

}  // namespace

std::int64_t countBareLoop() { return countForOneSecond<nothing>(); }

std::int64_t countPerformanceCounterLoop() { return countForOneSecond<readPerformanceCounter>(); }

std::int64_t countMultimediaTimeLoop() {
    return countForOneSecond<readMultimediaTime, readMultimediaTime>();
}

std::int64_t countLocalDateTimeLoop() {
    readLocalDateTime();  // the first read may set up the time zone
    return countForOneSecond<readLocalDateTime>();
}

std::int64_t timeStampCounterMHzOverOneSecond() {
    const std::uint64_t t0 = platform::readTimeStampCounter();
    platform::sleepMs(1000);
    const std::uint64_t t1 = platform::readTimeStampCounter();
    return wholeMHz(t1 - t0);
}

std::int64_t multimediaTimerThreeStepsCounts() {
    std::uint32_t last = platform::multimediaTime();
    std::uint32_t now = 0;
    while ((now = platform::multimediaTime()) == last) {
    }
    last = now;
    const std::int64_t c0 = platform::queryPerformanceCounter();
    for (int step = 0; step < 3; ++step) {
        while ((now = platform::multimediaTime()) == last) {
        }
        last = now;
    }
    const std::int64_t c1 = platform::queryPerformanceCounter();
    return c1 - c0;
}

double GetCPUSpeed() {
    std::int64_t frequency = 0;
    if (!platform::queryPerformanceFrequency(frequency)) return 0;
    // Start on a fresh time slice, so the reads below are less likely to be
    // split by a context switch.
    platform::sleepMs(0);
    const std::int64_t c0 = platform::queryPerformanceCounter();
    const std::uint64_t t0 = platform::readTimeStampCounter();
    platform::sleepMs(10);
    const std::int64_t c1 = platform::queryPerformanceCounter();
    const std::uint64_t t1 = platform::readTimeStampCounter();
    if (c1 == c0) return 0;
    const auto cycles = static_cast<std::uint32_t>(t1 - t0);
    const std::int64_t product = static_cast<std::int64_t>(cycles) * frequency;
    return static_cast<double>(static_cast<long double>(product) / static_cast<long double>(c1 - c0));
}

TickSteps measureTickSteps() {
    TickSteps result;
    const std::uint32_t start = platform::tickCount();
    std::uint32_t value = platform::tickCount();
    std::uint32_t last = value;
    while (static_cast<std::uint32_t>(value - start) < 1500) {
        value = platform::tickCount();
        if (value != last) {
            result.sum += static_cast<std::uint32_t>(value - last);
            ++result.count;
            last = value;
        }
    }
    return result;
}

void captureFileTimeSteps(FileTimeSteps& out) {
    std::size_t i = 0;
    const std::uint32_t start = platform::tickCount();
    std::uint32_t tick = platform::tickCount();
    std::uint64_t previous = platform::systemFileTime();
    while (static_cast<std::uint32_t>(tick - start) < kFileTimeCaptureMs && i < FileTimeSteps::kCapacity) {
        tick = platform::tickCount();
        const std::uint64_t current = platform::systemFileTime();
        if (current != previous) {
            out.steps[i] = static_cast<double>(static_cast<std::int64_t>(current - previous));
            ++i;
            previous = current;
        }
    }
    out.count = i;
}

}  // namespace timing
