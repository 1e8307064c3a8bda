// The real clock layer of this OS. These machines are shared and noisy, so
// nothing here asserts a speed: only what must hold on any working system.

#include "platform/Clocks.h"
#include "platform/SystemFacts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

TEST(RealClocks, PerformanceCounterHasAFrequencyAndMovesForward) {
    std::int64_t frequency = 0;
    ASSERT_TRUE(platform::queryPerformanceFrequency(frequency));
    EXPECT_GT(frequency, 0);
    const std::int64_t before = platform::queryPerformanceCounter();
    platform::sleepMs(20);
    const std::int64_t after = platform::queryPerformanceCounter();
    // At least the time asked for has passed (the sleep never ends early).
    EXPECT_GE(after - before, frequency / 50);
}

TEST(RealClocks, TickCountersAdvanceAcrossASleep) {
    const std::uint32_t tick0 = platform::tickCount();
    const std::uint32_t mm0 = platform::multimediaTime();
    const std::uint64_t tsc0 = platform::readTimeStampCounter();
    platform::sleepMs(50);
    // Unsigned differences: correct across a wrap. An upper bound only rules
    // out garbage; a loaded machine may oversleep a lot.
    const std::uint32_t tickStep = platform::tickCount() - tick0;
    const std::uint32_t mmStep = platform::multimediaTime() - mm0;
    EXPECT_GE(tickStep, 30U);
    EXPECT_LT(tickStep, 60000U);
    EXPECT_GE(mmStep, 50U);
    EXPECT_LT(mmStep, 60000U);
    EXPECT_GT(platform::readTimeStampCounter(), tsc0);
}

TEST(RealClocks, FileTimeAndLocalTimeAgreeWithTheSystemClock) {
    using namespace std::chrono;
    const auto unix100ns = duration_cast<duration<std::int64_t, std::ratio<1, 10000000>>>(
                               system_clock::now().time_since_epoch())
                               .count();
    const auto fileTime = static_cast<std::int64_t>(platform::systemFileTime());
    // 1601 to 1970 is 11644473600 s; the coarse clock may lag by a tick.
    EXPECT_NEAR(static_cast<double>(fileTime - 116444736000000000LL), static_cast<double>(unix100ns),
                10000000.0);

    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    const double days = platform::localDateTime();
    const double fractionOfDay = (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
    // Compared around the circle of a day, so a run at midnight passes too.
    double apart = (days - std::floor(days)) - fractionOfDay;
    apart -= std::round(apart);
    EXPECT_NEAR(apart, 0.0, 5.0 / 86400);
    EXPECT_GT(days, 45000.0);  // after 2023
}

TEST(RealClocks, SystemQueriesSucceed) {
    platform::TimeAdjustment adjustment;
    ASSERT_TRUE(platform::systemTimeAdjustment(adjustment)) << platform::lastError();
    EXPECT_GT(adjustment.increment, 0);
    EXPECT_GT(adjustment.adjustment, 0);

    platform::TimerCaps caps;
    ASSERT_EQ(platform::timerDevCaps(caps), 0U);
    EXPECT_GE(caps.periodMin, 1U);
    EXPECT_GE(caps.periodMax, caps.periodMin);
    EXPECT_EQ(platform::timerBeginPeriod(1), 0U);
    EXPECT_EQ(platform::timerEndPeriod(1), 0U);

    EXPECT_FALSE(platform::systemErrorMessage(22).empty());
    EXPECT_FALSE(platform::programFileVersion().empty());
}

}  // namespace
