// The timing helpers and the measuring loops, on the simulated clock layer.

#include "platform/SimulatedClocks.h"
#include "timing/Measure.h"
#include "timing/FigureArithmetic.h"
#include "timing/Statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using timing::Median;
using timing::MeanAndDeviation;

double median(std::vector<double> v) { return Median(v.data(), v.size()); }

TEST(Median, OddEvenSingleAndRepeated) {
    EXPECT_DOUBLE_EQ(median({3, 1, 2}), 2);
    EXPECT_DOUBLE_EQ(median({4, 1, 3, 2}), 2.5);
    EXPECT_DOUBLE_EQ(median({7}), 7);
    EXPECT_DOUBLE_EQ(median({42, 42, 42, 42}), 42);
    EXPECT_DOUBLE_EQ(median({1, 2, 5, 10, 10}), 5);
    EXPECT_DOUBLE_EQ(median({10, 10, 5, 2, 1}), 5);
    EXPECT_DOUBLE_EQ(median({-156250, 156250, 156250}), 156250);  // a backwards step
    EXPECT_DOUBLE_EQ(median({5, -1}), 2);
}

TEST(Median, LeavesItsInputInCaptureOrder) {
    const std::vector<double> original{9, 1, 8, 2, 7, 3};
    std::vector<double> values = original;
    EXPECT_DOUBLE_EQ(Median(values.data(), values.size()), 5);
    EXPECT_EQ(values, original);
}

TEST(MeanAndDeviation, SampleFormAndSingleValue) {
    const double one[] = {5};
    const auto single = MeanAndDeviation(one, 1);
    EXPECT_DOUBLE_EQ(static_cast<double>(single.mean), 5);
    // A single sample has no spread; it is not its own deviation.
    EXPECT_DOUBLE_EQ(static_cast<double>(single.deviation), 0);

    const double two[] = {1, 3};
    const auto pair = MeanAndDeviation(two, 2);
    EXPECT_DOUBLE_EQ(static_cast<double>(pair.mean), 2);
    EXPECT_DOUBLE_EQ(static_cast<double>(pair.deviation), std::sqrt(2.0));

    const double eight[] = {2, 4, 4, 4, 5, 5, 7, 9};  // divisor n - 1, not n
    const auto sample = MeanAndDeviation(eight, 8);
    EXPECT_DOUBLE_EQ(static_cast<double>(sample.mean), 5);
    EXPECT_DOUBLE_EQ(static_cast<double>(sample.deviation), std::sqrt(32.0 / 7.0));

    const double equal[] = {156250, 156250, 156250};
    EXPECT_DOUBLE_EQ(static_cast<double>(MeanAndDeviation(equal, 3).deviation), 0);
}

class SimulatedClockTest : public ::testing::Test {
protected:
    platform::sim::Config config;
};

TEST_F(SimulatedClockTest, CpuSpeedMatchesTheCounterRate) {
    // With a 1 GHz performance counter both counters time the same virtual
    // interval, so the estimate is exact.
    config.performanceFrequency = 1000000000;
    config.timeStampHz = 2600000000ULL;
    platform::sim::reset(config);
    EXPECT_DOUBLE_EQ(timing::GetCPUSpeed(), 2.6e9);
    EXPECT_EQ(platform::sim::counts().sleeps, 1);
}

TEST_F(SimulatedClockTest, CpuSpeedWithoutPerformanceCounterIsZeroWithoutSleeping) {
    config.hasPerformanceCounter = false;
    platform::sim::reset(config);
    EXPECT_EQ(timing::GetCPUSpeed(), 0.0);
    EXPECT_EQ(platform::sim::counts().sleeps, 0);
    EXPECT_EQ(platform::sim::now(), 0);
}

TEST_F(SimulatedClockTest, CpuSpeedWhenTheCounterStandsStillIsZero) {
    config.performanceFrequency = 1;  // one count a second: none in 10 ms
    platform::sim::reset(config);
    EXPECT_EQ(timing::GetCPUSpeed(), 0.0);
}

// Each counting loop makes exactly the calls its figure is defined by: the
// loop for X reads the tick and X once per iteration, plus the extra calls
// some loops make outside it (they count in the survey's figures too).
TEST_F(SimulatedClockTest, CountingLoopsMakeExactlyTheirCalls) {
    using platform::sim::Call;
    struct Case {
        const char* name;
        std::int64_t (*loop)();
        Call x;  // the call measured, or TickCount for the bare loop
        std::int64_t extraXCalls;
        std::vector<Call> firstCalls;
    };
    const Case cases[] = {
        {"bare", timing::countBareLoop, Call::TickCount, 1, {Call::TickCount, Call::TickCount, Call::TickCount}},
        {"performance counter", timing::countPerformanceCounterLoop, Call::PerformanceCounter, 0,
         {Call::TickCount, Call::TickCount, Call::PerformanceCounter, Call::TickCount}},
        // One extra timeGetTime right after the start tick.
        {"timeGetTime", timing::countMultimediaTimeLoop, Call::MultimediaTime, 1,
         {Call::TickCount, Call::MultimediaTime, Call::TickCount, Call::MultimediaTime}},
        // One discarded local date-time read before the start tick.
        {"local date-time", timing::countLocalDateTimeLoop, Call::LocalDateTime, 1,
         {Call::LocalDateTime, Call::TickCount, Call::TickCount, Call::LocalDateTime}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::sim::reset(config);
        const std::int64_t n = c.loop();
        const auto& counts = platform::sim::counts();
        EXPECT_EQ(counts.of(c.x), n + c.extraXCalls);
        if (c.x != Call::TickCount) {
            EXPECT_EQ(counts.of(Call::TickCount), n + 1);
        }
        const std::vector<Call> trace = counts.trace();
        ASSERT_GE(trace.size(), c.firstCalls.size());
        EXPECT_EQ(std::vector<Call>(trace.begin(), trace.begin() + static_cast<long>(c.firstCalls.size())),
                  c.firstCalls);
    }
}

TEST_F(SimulatedClockTest, TimeStampCounterFigureIsTruncatedToWholeMegahertz) {
    // The one-second sleep plus one counter read: 1.00000005 s of cycles.
    struct Case {
        std::uint64_t hz;
        std::int64_t mhz;
    };
    for (const Case c : {Case{2999700000ULL, 2999}, Case{2600000000ULL, 2600}, Case{999999ULL, 0},
                         Case{3999999000ULL, 3999}}) {
        SCOPED_TRACE(c.hz);
        config.timeStampHz = c.hz;
        platform::sim::reset(config);
        EXPECT_EQ(timing::timeStampCounterMHzOverOneSecond(), c.mhz);
    }
}

TEST(MultimediaTimerStep, IsElapsedMicrosecondsOverThreeSteps) {
    // Three seconds of a 1 GHz counter: one second a step, to the µs.
    EXPECT_NEAR(static_cast<double>(timing::multimediaTimerStepUs(3000000000, 1000000000)), 1e6, 1e-4);
    EXPECT_NEAR(static_cast<double>(timing::multimediaTimerStepUs(30000, 10000000)), 1000, 1e-9);
    EXPECT_NEAR(static_cast<double>(timing::multimediaTimerStepUs(10000, 3579545)), 931.217049, 1e-6);
}

TEST_F(SimulatedClockTest, CpuSpeedYieldsThenReadsBothCountersAroundTheSleep) {
    platform::sim::reset(config);
    timing::GetCPUSpeed();
    using platform::sim::Call;
    EXPECT_EQ(platform::sim::counts().trace(),
              (std::vector<Call>{Call::Yield, Call::PerformanceCounter, Call::TimeStampCounter, Call::Sleep,
                                 Call::PerformanceCounter, Call::TimeStampCounter}));
}

TEST_F(SimulatedClockTest, CpuSpeedUsesTheLowThirtyTwoBitsOfTheCycleCount) {
    // 500 GHz: 5e9 cycles in 10 ms, more than 32 bits hold, so the estimate
    // is what the low 32 bits say. The counter starts just below a 2^32
    // boundary, which the difference must not notice.
    config.performanceFrequency = 1000000000;
    config.timeStampHz = 500000000000ULL;
    config.timeStampStart = (1ULL << 40) - 1000;
    platform::sim::reset(config);
    const double span = 0.01000045;  // s: the sleep plus one read of each counter
    const double expected = (5e11 * span - 4294967296.0) / span;
    EXPECT_NEAR(timing::GetCPUSpeed(), expected, expected * 1e-6);
}

TEST_F(SimulatedClockTest, CountingLoopRunsJustOverOneSecond) {
    config.tickPeriod = 1000000;
    config.tickCountCost = 250;
    platform::sim::reset(config);
    const std::int64_t n = timing::countBareLoop();
    // It ends on the first tick reading more than 1000 ms after the start.
    EXPECT_GT(n, 1000000000 / 250);
    EXPECT_LE(n, 1001000000 / 250 + 1);
    EXPECT_GE(platform::sim::now(), 1000000000);
}

TEST_F(SimulatedClockTest, TickWrapDoesNotShortenAnyLoop) {
    struct Result {
        std::int64_t iterations;
        timing::TickSteps steps;
    };
    // A one-second counting loop (0 to about 1.02 s), then the tick steps
    // (to about 2.52 s).
    auto run = [this](std::uint32_t tickStartMs) {
        config.tickStartMs = tickStartMs;
        platform::sim::reset(config);
        Result r{timing::countPerformanceCounterLoop(), {}};
        r.steps = timing::measureTickSteps();
        return r;
    };
    const Result plain = run(1000000);
    ASSERT_GT(plain.steps.count, 90);
    for (const std::uint32_t wrapAtMs : {300U, 1700U}) {
        SCOPED_TRACE(wrapAtMs);
        const Result wrapped = run(0U - wrapAtMs);
        EXPECT_EQ(wrapped.iterations, plain.iterations);
        EXPECT_EQ(wrapped.steps.count, plain.steps.count);
        EXPECT_DOUBLE_EQ(wrapped.steps.sum, plain.steps.sum);
    }
}

TEST_F(SimulatedClockTest, FileTimeCaptureStopsWhenTheListIsFull) {
    config.fileTimePeriod = 100;  // a new value on every read
    platform::sim::reset(config);
    timing::FileTimeSteps steps;
    timing::captureFileTimeSteps(steps);
    EXPECT_EQ(steps.count, timing::FileTimeSteps::kCapacity);
    EXPECT_LT(platform::sim::now(), 1563000000);  // well before the time limit
}

TEST_F(SimulatedClockTest, FileTimeCaptureKeepsBackwardStepsAndStopsAtTheTimeLimit) {
    config.fileTimePeriod = 15625000;
    config.fileTimeJumpAt = 500000000;
    config.fileTimeJump = -10000000;  // the clock is set back by a second
    platform::sim::reset(config);
    timing::FileTimeSteps steps;
    timing::captureFileTimeSteps(steps);
    ASSERT_GT(steps.count, 90U);
    ASSERT_LT(steps.count, 110U);
    int backwards = 0;
    for (std::size_t i = 0; i < steps.count; ++i) {
        if (steps.steps[i] < 0) {
            ++backwards;
            EXPECT_DOUBLE_EQ(steps.steps[i], -10000000 + 156250);
        } else {
            EXPECT_DOUBLE_EQ(steps.steps[i], 156250);
        }
    }
    EXPECT_EQ(backwards, 1);
    EXPECT_GE(platform::sim::now(), 1563000000 - 15625000);
}

TEST_F(SimulatedClockTest, FileTimeCaptureWithoutAnyChangeIsEmpty) {
    config.fileTimePeriod = 0;
    platform::sim::reset(config);
    timing::FileTimeSteps steps;
    timing::captureFileTimeSteps(steps);
    EXPECT_EQ(steps.count, 0U);
}

TEST_F(SimulatedClockTest, MultimediaTimerStepsAreTimedByThePerformanceCounter) {
    config.multimediaPeriod = 1000000;
    config.performanceFrequency = 10000000;
    platform::sim::reset(config);
    // Three 1 ms steps at 10 MHz, give or take the read costs.
    EXPECT_NEAR(static_cast<double>(timing::multimediaTimerThreeStepsCounts()), 30000, 10);
}

}  // namespace
