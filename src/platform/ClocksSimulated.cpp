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

std::int64_t spend(std::int64_t cost) {
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
    const std::int64_t at = spend(gConfig.performanceCounterCost);
    return gConfig.hasPerformanceCounter ? scaleFromNs(at, gConfig.performanceFrequency) : 0;
}

std::uint32_t tickCount() {
    const std::int64_t at = spend(gConfig.tickCountCost);
    const std::int64_t steppedNs = at / gConfig.tickPeriod * gConfig.tickPeriod;
    return gConfig.tickStartMs + static_cast<std::uint32_t>(steppedNs / 1000000);
}

std::uint32_t multimediaTime() {
    const std::int64_t at = spend(gConfig.multimediaTimeCost);
    const std::int64_t steppedNs = at / gConfig.multimediaPeriod * gConfig.multimediaPeriod;
    return gConfig.multimediaStartMs + static_cast<std::uint32_t>(steppedNs / 1000000);
}

std::uint64_t systemFileTime() {
    const std::int64_t at = spend(gConfig.fileTimeCost);
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
    const std::int64_t at = spend(gConfig.localDateTimeCost);
    return gConfig.localDateTimeStart + static_cast<double>(at) / 86400e9;
}

void sleepMs(std::uint32_t milliseconds) {
    if (milliseconds == 0) {
        gNow += gConfig.yieldCost;
        return;
    }
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
    const std::int64_t at = spend(gConfig.timeStampCounterCost);
    return static_cast<std::uint64_t>(scaleFromNs(at, static_cast<std::int64_t>(gConfig.timeStampHz)));
}

std::string programFileVersion() { return gConfig.fileVersion; }

std::optional<FontSpec> desktopIconTitleFont() { return std::nullopt; }

std::vector<ClockBacking> clockBacking() {
    return {{"QueryPerformanceCounter", "the simulated clock"}, {"GetTickCount", "the simulated clock"}};
}

}  // namespace platform
