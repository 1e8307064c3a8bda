// The simulated clock layer; see SimulatedClocks.h.

#include "platform/SimulatedClocks.h"

namespace platform {
namespace {

sim::Config gConfig;
std::int64_t gNow = 0;
sim::Counts gCounts;

// Counts of a clock running at perSecond after ns nanoseconds, without
// overflowing 64 bits for any rate below 9 GHz.
std::int64_t scaleFromNs(std::int64_t ns, std::int64_t perSecond) {
    constexpr std::int64_t kNsPerSecond = 1000000000;
    return ns / kNsPerSecond * perSecond + ns % kNsPerSecond * perSecond / kNsPerSecond;
}

void note(sim::Call call) {
    ++gCounts.calls[static_cast<int>(call)];
    if (gCounts.traced < sim::Counts::kTraced) gCounts.firstCalls[gCounts.traced++] = call;
}

std::int64_t spend(sim::Call call, std::int64_t cost) {
    note(call);
    const std::int64_t at = gNow;
    gNow += cost;
    return at;
}

}  // namespace

namespace sim {
void reset(const Config& config) {
    gConfig = config;
    gNow = 0;
    gCounts = Counts{};
}
std::int64_t now() { return gNow; }
Config& config() { return gConfig; }
const Counts& counts() { return gCounts; }
}  // namespace sim

bool queryPerformanceFrequency(std::int64_t& frequency) {
    if (!gConfig.hasPerformanceCounter) return false;
    frequency = gConfig.performanceFrequency;
    return true;
}

std::int64_t queryPerformanceCounter() {
    const std::int64_t at = spend(sim::Call::PerformanceCounter, gConfig.performanceCounterCost);
    return gConfig.hasPerformanceCounter ? scaleFromNs(at, gConfig.performanceFrequency) : 0;
}

std::uint32_t tickCount() {
    const std::int64_t at = spend(sim::Call::TickCount, gConfig.tickCountCost);
    const std::int64_t steppedNs = at / gConfig.tickPeriod * gConfig.tickPeriod;
    return gConfig.tickStartMs + static_cast<std::uint32_t>(steppedNs / 1000000);
}

std::uint32_t multimediaTime() {
    const std::int64_t at = spend(sim::Call::MultimediaTime, gConfig.multimediaTimeCost);
    const std::int64_t steppedNs = at / gConfig.multimediaPeriod * gConfig.multimediaPeriod;
    return gConfig.multimediaStartMs + static_cast<std::uint32_t>(steppedNs / 1000000);
}

std::uint64_t systemFileTime() {
    const std::int64_t at = spend(sim::Call::FileTime, gConfig.fileTimeCost);
    std::uint64_t value = gConfig.fileTimeStart;
    if (gConfig.fileTimePeriod > 0) {
        value += static_cast<std::uint64_t>(at / gConfig.fileTimePeriod * gConfig.fileTimePeriod / 100);
    }
    if (gConfig.fileTimeJumpAt > 0 && at >= gConfig.fileTimeJumpAt) {
        value += static_cast<std::uint64_t>(gConfig.fileTimeJump);
    }
    return value;
}

double localDateTime() {
    const std::int64_t at = spend(sim::Call::LocalDateTime, gConfig.localDateTimeCost);
    return gConfig.localDateTimeStart + static_cast<double>(at) / 86400e9;
}

void sleepMs(std::uint32_t milliseconds) {
    if (milliseconds == 0) {
        note(sim::Call::Yield);
        gNow += gConfig.yieldCost;
        return;
    }
    note(sim::Call::Sleep);
    ++gCounts.sleeps;
    gNow += static_cast<std::int64_t>(milliseconds) * 1000000 + gConfig.sleepOvershoot;
}

bool systemTimeAdjustment(TimeAdjustment& result) {
    if (!gConfig.timeAdjustmentSucceeds) return false;
    result = gConfig.timeAdjustment;
    return true;
}

std::uint32_t lastError() { return gConfig.timeAdjustmentError; }

std::string systemErrorMessage(std::uint32_t) { return gConfig.errorMessage; }

std::uint32_t timerDevCaps(TimerCaps& caps) {
    if (gConfig.devCapsResult == 0) caps = gConfig.devCaps;
    return gConfig.devCapsResult;
}

std::uint32_t timerBeginPeriod(std::uint32_t) {
    ++gCounts.beginPeriods;
    ++gCounts.openPeriods;
    return 0;
}

std::uint32_t timerEndPeriod(std::uint32_t) {
    ++gCounts.endPeriods;
    if (--gCounts.openPeriods < 0) gCounts.endBeforeBegin = true;
    return 0;
}

std::uint64_t readTimeStampCounter() {
    const std::int64_t at = spend(sim::Call::TimeStampCounter, gConfig.timeStampCounterCost);
    // 128 bits, so a test may set a rate far above any real one.
    __extension__ typedef unsigned __int128 Wide;
    const Wide cycles = static_cast<Wide>(at) * gConfig.timeStampHz / 1000000000U;
    return gConfig.timeStampStart + static_cast<std::uint64_t>(cycles);
}

}  // namespace platform
