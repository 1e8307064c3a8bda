// The clock survey run on the simulated clock layer: exact texts, the order
// in which lines are greyed and filled, and the failure paths.

#include "support/RecordingDisplay.h"

#include "platform/SimulatedClocks.h"
#include "survey/ClockSurvey.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using survey::Line;
using testsupport::RecordingDisplay;
using Op = RecordingDisplay::Op;

class SurveyRun : public ::testing::Test {
protected:
    // Costs chosen so every figure is easy to check by hand: a 1 ms tick,
    // a 10 MHz performance counter, a 3 GHz cycle counter.
    SurveyRun() {
        config.tickPeriod = 1000000;
        config.fileTimePeriod = 4000000;
    }

    RecordingDisplay& run(std::int64_t frequency = 10000000, const format::ResultFormatter& f = format::ResultFormatter()) {
        platform::sim::reset(config);
        survey::runClockSurvey(display, frequency, f);
        return display;
    }

    platform::sim::Config config;
    RecordingDisplay display;
};

TEST_F(SurveyRun, FillsEveryLineWithItsExactText) {
    run();
    // Call costs: one tick read is 250 ns; each loop runs for just over
    // 1000 ms, so the figures sit a hair under the set costs (1 part in 1000
    // at most). The 10 MHz counter times the 10 ms CPU estimate to 1 part in
    // 100000; a 4 ms file-time step gives 391 steps in 1563 ms.
    const std::array<std::pair<Line, const char*>, survey::kLineCount> expected{{
        {Line::Clock, "Clock speed from RDTSC: ~3000 MHz"},
        {Line::TickCount, "Time for GetTickCount call ~249.8 ns"},
        {Line::TimeQPC, "Time for QueryPerformanceCounter call ~399.6 ns"},
        {Line::GetCPUSpeed, "GetCPUspeed gives: 2999.99 MHz"},
        {Line::SystemTimeAdjustment, "TimeAdj=156250, TimeIncr=156250, disabled"},
        {Line::TimerCapabilities, "Timer resolution from: 1 to 1000000 milliseconds"},
        {Line::TimeGetTime, "Time for timeGetTime call: ~299.7 ns"},
        {Line::TimerResolution, "timeGetTime resolution: 1000.0 µs"},
        {Line::NowTime, "Time for Now() call: ~999.0 ns"},
        {Line::GetTickCountResolution, "GetTickCount resolution: 1.00 ms"},
        {Line::SysTimeAsFileTimeRes, "GetSystemTimeAsFileTime resolution: 4000.0 µs  (std.dev=0.0 µs)"},
    }};
    for (const auto& [line, text] : expected) {
        EXPECT_EQ(display.text(line), text) << "line " << static_cast<int>(line);
        EXPECT_TRUE(display.state(line).enabled) << "line " << static_cast<int>(line);
    }
    EXPECT_EQ(display.state(Line::GetTickCountResolution).hint, "1500 calls");
    EXPECT_EQ(display.state(Line::SysTimeAsFileTimeRes).hint, "median & std. dev. over 391 intervals");
}

TEST_F(SurveyRun, GreysEachMeasuredLineThenPublishesIt) {
    run();
    const std::vector<Op> busyThenPublished{Op::Disable, Op::Repaint, Op::Text, Op::Enable, Op::Repaint};
    for (Line line : {Line::TickCount, Line::TimeQPC, Line::TimeGetTime, Line::TimerResolution,
                      Line::NowTime}) {
        EXPECT_EQ(display.opsOn(line), busyThenPublished) << "line " << static_cast<int>(line);
    }
    const std::vector<Op> withHint{Op::Disable, Op::Repaint, Op::Text, Op::Hint, Op::Enable, Op::Repaint};
    EXPECT_EQ(display.opsOn(Line::GetTickCountResolution), withHint);
    EXPECT_EQ(display.opsOn(Line::SysTimeAsFileTimeRes), withHint);
    // Lines measured without greying: written and drawn at once.
    EXPECT_EQ(display.opsOn(Line::Clock), (std::vector<Op>{Op::Text, Op::Repaint}));
    EXPECT_EQ(display.opsOn(Line::GetCPUSpeed), (std::vector<Op>{Op::Text, Op::Repaint}));
    EXPECT_EQ(display.opsOn(Line::SystemTimeAdjustment), (std::vector<Op>{Op::Text}));
    EXPECT_EQ(display.opsOn(Line::TimerCapabilities),
              (std::vector<Op>{Op::Disable, Op::Text, Op::Enable, Op::Repaint}));

    // The lines are filled in survey order.
    std::vector<Line> textOrder;
    for (const auto& e : display.events) {
        if (e.op == Op::Text) textOrder.push_back(e.line);
    }
    for (std::size_t i = 0; i < textOrder.size(); ++i) {
        EXPECT_EQ(static_cast<int>(textOrder[i]), static_cast<int>(i));
    }
}

TEST_F(SurveyRun, TakesAboutEightSecondsOfVirtualTime) {
    run();
    EXPECT_GT(platform::sim::now(), 7500000000);
    EXPECT_LT(platform::sim::now(), 8500000000);
}

TEST_F(SurveyRun, TickWrapDuringTheRunChangesNoFigure) {
    run();
    const auto plain = display.lines;
    // Wraps at 1.5 s (in the first counting loop) and at 6.5 s (in the tick
    // resolution loop).
    for (const std::uint32_t wrapAtMs : {1500U, 6500U}) {
        SCOPED_TRACE(wrapAtMs);
        config.tickStartMs = 0U - wrapAtMs;
        display = RecordingDisplay{};
        run();
        for (int i = 0; i < survey::kLineCount; ++i) {
            EXPECT_EQ(display.lines[i].text, plain[i].text);
            EXPECT_EQ(display.lines[i].hint, plain[i].hint);
        }
    }
}

TEST_F(SurveyRun, DefaultWindowsTickShowsFifteenPointSixThree) {
    config.tickPeriod = 15625000;  // steps of 15 and 16 ms, 15.625 on average
    config.fileTimePeriod = 15625000;
    run();
    EXPECT_EQ(display.text(Line::GetTickCountResolution), "GetTickCount resolution: 15.63 ms");
    EXPECT_EQ(display.state(Line::GetTickCountResolution).hint, "96 calls");
    EXPECT_EQ(display.text(Line::SysTimeAsFileTimeRes),
              "GetSystemTimeAsFileTime resolution: 15625.0 µs  (std.dev=0.0 µs)");
    EXPECT_EQ(display.state(Line::SysTimeAsFileTimeRes).hint, "median & std. dev. over 100 intervals");
}

TEST_F(SurveyRun, FileTimeChangingOnEveryCallFillsTwoThousandIntervals) {
    config.fileTimePeriod = 100;  // each read (450 ns apart) sees a new value
    run();
    EXPECT_EQ(display.state(Line::SysTimeAsFileTimeRes).hint, "median & std. dev. over 2000 intervals");
    EXPECT_EQ(display.text(Line::SysTimeAsFileTimeRes),
              "GetSystemTimeAsFileTime resolution: 0.5 µs  (std.dev=0.1 µs)");
}

TEST_F(SurveyRun, SingleFileTimeIntervalHasNoSpread) {
    config.fileTimePeriod = 0;  // the file time stands still...
    display.onDisable = [](Line line) {
        if (line == Line::SysTimeAsFileTimeRes) {  // ...but for one step during the capture
            platform::sim::config().fileTimeJumpAt = platform::sim::now() + 100000000;
            platform::sim::config().fileTimeJump = 156250;
        }
    };
    run();
    EXPECT_EQ(display.text(Line::SysTimeAsFileTimeRes),
              "GetSystemTimeAsFileTime resolution: 15625.0 µs  (std.dev=0.0 µs)");
    EXPECT_EQ(display.state(Line::SysTimeAsFileTimeRes).hint, "median & std. dev. over 1 intervals");
}

TEST_F(SurveyRun, NoFileTimeChangeLeavesTextAndHintButReenablesTheLine) {
    config.fileTimePeriod = 0;
    run();
    EXPECT_EQ(display.text(Line::SysTimeAsFileTimeRes), "...");
    EXPECT_EQ(display.state(Line::SysTimeAsFileTimeRes).hint, "");
    EXPECT_TRUE(display.state(Line::SysTimeAsFileTimeRes).enabled);
}

TEST_F(SurveyRun, FailedTimeAdjustmentShowsCodeAndTrimmedMessage) {
    config.timeAdjustmentSucceeds = false;
    config.timeAdjustmentError = 87;
    config.errorMessage = "The parameter is incorrect. \r\n";
    run();
    EXPECT_EQ(display.text(Line::SystemTimeAdjustment), "EC=$57, The parameter is incorrect");

    config.timeAdjustmentError = 0xC0000005U;
    config.errorMessage = "Access denied..";
    display = RecordingDisplay{};
    run();
    EXPECT_EQ(display.text(Line::SystemTimeAdjustment), "EC=$C0000005, Access denied");
}

TEST_F(SurveyRun, EnabledTimeAdjustmentSaysEnabled) {
    config.timeAdjustment = {156251, 156250, false};
    run();
    EXPECT_EQ(display.text(Line::SystemTimeAdjustment), "TimeAdj=156251, TimeIncr=156250, enabled");
}

TEST_F(SurveyRun, FailedTimerCapsLeavesTheLineGreyedWithItsOldText) {
    config.devCapsResult = 97;
    run();
    EXPECT_EQ(display.text(Line::TimerCapabilities), "...");
    EXPECT_FALSE(display.state(Line::TimerCapabilities).enabled);
    EXPECT_EQ(display.opsOn(Line::TimerCapabilities), (std::vector<Op>{Op::Disable}));
}

TEST_F(SurveyRun, NoPerformanceCounterGivesReadableTexts) {
    config.hasPerformanceCounter = false;
    run(0);
    EXPECT_EQ(display.text(Line::TimerResolution), "timeGetTime resolution: n/a (no performance counter)");
    EXPECT_EQ(display.text(Line::GetCPUSpeed), "GetCPUspeed gives: 0.00 MHz");
    for (const auto& line : display.lines) {
        EXPECT_EQ(line.text.find("INF"), std::string::npos) << line.text;
        EXPECT_EQ(line.text.find("NAN"), std::string::npos) << line.text;
    }
}

TEST_F(SurveyRun, FiguresUseTheLocaleDecimalSeparator) {
    run(10000000, format::ResultFormatter(","));
    EXPECT_EQ(display.text(Line::TickCount), "Time for GetTickCount call ~249,8 ns");
    EXPECT_EQ(display.text(Line::GetTickCountResolution), "GetTickCount resolution: 1,00 ms");
}

TEST(TrimSystemMessage, DropsTrailingControlsBlanksAndFullStops) {
    EXPECT_EQ(survey::trimSystemMessage("The parameter is incorrect.\r\n"), "The parameter is incorrect");
    EXPECT_EQ(survey::trimSystemMessage("Invalid argument"), "Invalid argument");
    EXPECT_EQ(survey::trimSystemMessage("Ends with dots. . \t"), "Ends with dots");
    EXPECT_EQ(survey::trimSystemMessage("v1.2 is old\n"), "v1.2 is old");
    EXPECT_EQ(survey::trimSystemMessage(" .\r\n"), "");
}

}  // namespace
