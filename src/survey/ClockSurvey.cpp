#include "survey/ClockSurvey.h"

#include "platform/Clocks.h"
#include "timing/Measure.h"
#include "timing/FigureArithmetic.h"
#include "timing/Statistics.h"

namespace survey {
namespace {

class Run {
public:
    Run(SurveyDisplay& display, std::int64_t frequency, const format::ResultFormatter& format)
        : display_(display), frequency_(frequency), format_(format) {}

    std::vector<Figure> operator()() {
        timeStampCounterSpeed();
        tickCountCost();
        performanceCounterCost();
        cpuSpeedEstimate();
        systemTimeAdjustment();
        multimediaTimerRange();
        multimediaTimeCost();
        multimediaTimeResolution();
        localDateTimeCost();
        tickCountResolution();
        fileTimeResolution();
        return std::move(figures_);
    }

private:
    void markBusy(Line line) {
        display_.setEnabled(line, false);
        display_.repaint(line);
    }

    void record(const char* key, const char* label, double value, const char* unit) {
        figures_.push_back(Figure{key, label, value, unit});
    }

    void publish(Line line, const std::string& text) {
        display_.setText(line, text);
        display_.setEnabled(line, true);
        display_.repaint(line);
    }

    double costNs(std::int64_t iterations) const { return timing::callCostNs(iterations, baseline_); }

    void timeStampCounterSpeed() {
        const std::int64_t mhz = timing::timeStampCounterMHzOverOneSecond();
        record("rdtscClockSpeed", "Clock speed from RDTSC over a 1 s sleep", static_cast<double>(mhz), "MHz");
        display_.setText(Line::Clock, "Clock speed from RDTSC: ~" + std::to_string(mhz) + " MHz");
        display_.repaint(Line::Clock);
    }

    void tickCountCost() {
        markBusy(Line::TickCount);
        baseline_ = timing::baselineSeconds(timing::countBareLoop());
        record("getTickCountCallCost", "Time for a GetTickCount call (with loop overhead)", baseline_ * 1e9, "ns");
        publish(Line::TickCount, format_("Time for GetTickCount call ~%.1f ns", baseline_ * 1e9));
    }

    void performanceCounterCost() {
        markBusy(Line::TimeQPC);
        const std::int64_t n = timing::countPerformanceCounterLoop();
        record("queryPerformanceCounterCallCost", "Time for a QueryPerformanceCounter call", costNs(n), "ns");
        publish(Line::TimeQPC, format_("Time for QueryPerformanceCounter call ~%.1f ns", costNs(n)));
    }

    void cpuSpeedEstimate() {
        const double mhz = timing::GetCPUSpeed() / 1000000.0;
        record("getCPUSpeed", "GetCPUSpeed: cycle counter rate over 10 ms", mhz, "MHz");
        display_.setText(Line::GetCPUSpeed, format_("GetCPUspeed gives: %f MHz", mhz));
        display_.repaint(Line::GetCPUSpeed);
    }

    void systemTimeAdjustment() {
        platform::TimeAdjustment adjustment;
        std::string text;
        if (platform::systemTimeAdjustment(adjustment)) {
            record("timeAdjustment", "System time adjustment per clock interrupt", adjustment.adjustment, "100 ns");
            record("timeIncrement", "System time increment per clock interrupt", adjustment.increment, "100 ns");
            record("timeAdjustmentDisabled", "Time adjustment disabled", adjustment.adjustmentDisabled ? 1 : 0,
                   "flag");
            text = format_("TimeAdj=%D, TimeIncr=%D, %S", adjustment.adjustment, adjustment.increment,
                           adjustment.adjustmentDisabled ? "disabled" : "enabled");
        } else {
            text = timeAdjustmentFailureText(platform::lastError(), format_);
        }
        display_.setText(Line::SystemTimeAdjustment, text);
    }

    void multimediaTimerRange() {
        display_.setEnabled(Line::TimerCapabilities, false);
        platform::TimerCaps caps;
        if (platform::timerDevCaps(caps) == 0) {
            record("timerPeriodMin", "Multimedia timer minimum period", caps.periodMin, "ms");
            record("timerPeriodMax", "Multimedia timer maximum period", caps.periodMax, "ms");
            publish(Line::TimerCapabilities, format_("Timer resolution from: %d to %d milliseconds",
                                                     caps.periodMin, caps.periodMax));
        }
    }

    void multimediaTimeCost() {
        markBusy(Line::TimeGetTime);
        const std::int64_t n = timing::countMultimediaTimeLoop();
        record("timeGetTimeCallCost", "Time for a timeGetTime call", costNs(n), "ns");
        publish(Line::TimeGetTime, format_("Time for timeGetTime call: ~%.1f ns", costNs(n)));
    }

    void multimediaTimeResolution() {
        markBusy(Line::TimerResolution);
        if (frequency_ <= 0) {
            // Without a performance counter there is nothing to time the
            // steps with; say so instead of dividing by zero.
            publish(Line::TimerResolution, "timeGetTime resolution: n/a (no performance counter)");
            return;
        }
        const std::int64_t counts = timing::multimediaTimerThreeStepsCounts();
        const auto us = static_cast<double>(timing::multimediaTimerStepUs(counts, frequency_));
        record("timeGetTimeResolution", "timeGetTime step, timed by the performance counter", us, "µs");
        publish(Line::TimerResolution, format_("timeGetTime resolution: %.1f µs", us));
    }

    void localDateTimeCost() {
        markBusy(Line::NowTime);
        const std::int64_t n = timing::countLocalDateTimeLoop();
        record("nowCallCost", "Time for a local date-time read", costNs(n), "ns");
        publish(Line::NowTime, format_("Time for Now() call: ~%.1f ns", costNs(n)));
    }

    void tickCountResolution() {
        markBusy(Line::GetTickCountResolution);
        const timing::TickSteps steps = timing::measureTickSteps();
        if (steps.count > 0) {
            record("getTickCountResolution", "Mean GetTickCount step", steps.sum / steps.count, "ms");
            record("getTickCountSteps", "GetTickCount steps seen in 1.5 s", steps.count, "count");
            display_.setText(Line::GetTickCountResolution,
                             format_("GetTickCount resolution: %.2f ms", steps.sum / steps.count));
            display_.setHint(Line::GetTickCountResolution, format_("%d calls", steps.count));
        }
        display_.setEnabled(Line::GetTickCountResolution, true);
        display_.repaint(Line::GetTickCountResolution);
    }

    void fileTimeResolution() {
        markBusy(Line::SysTimeAsFileTimeRes);
        timing::captureFileTimeSteps(fileTimeSteps_);
        const std::size_t count = fileTimeSteps_.count;
        if (count > 0) {
            const double* steps = fileTimeSteps_.steps.data();
            const timing::MeanDeviation spread = timing::MeanAndDeviation(steps, count);
            const double median = timing::Median(steps, count);
            record("fileTimeResolution", "Median GetSystemTimeAsFileTime step", median / 10, "µs");
            record("fileTimeStdDev", "Standard deviation of the GetSystemTimeAsFileTime steps",
                   static_cast<double>(spread.deviation) / 10, "µs");
            record("fileTimeIntervals", "GetSystemTimeAsFileTime steps captured", static_cast<double>(count),
                   "count");
            display_.setText(Line::SysTimeAsFileTimeRes,
                             format_("GetSystemTimeAsFileTime resolution: %.1f µs  (std.dev=%.1f µs)",
                                     median / 10, spread.deviation / 10));
            display_.setHint(Line::SysTimeAsFileTimeRes,
                             format_("median & std. dev. over %d intervals", count));
        }
        display_.setEnabled(Line::SysTimeAsFileTimeRes, true);
        display_.repaint(Line::SysTimeAsFileTimeRes);
    }

    SurveyDisplay& display_;
    const std::int64_t frequency_;
    const format::ResultFormatter& format_;
    double baseline_ = 0;  // seconds per bare tick-loop iteration
    timing::FileTimeSteps fileTimeSteps_;
    std::vector<Figure> figures_;
};

}  // namespace

const char* placeholderText(Line line) {
    switch (line) {
        case Line::Clock: return "Clock speed from RDTSC ...";
        case Line::TickCount: return "Time for GetTickCount() call ...";
        case Line::TimeQPC: return "Time for QueryPerformanceCounter() call ...";
        case Line::GetCPUSpeed: return "GetCPUSpeed value ...";
        case Line::SystemTimeAdjustment: return "SystemTimeAdjustment values ...";
        case Line::TimerCapabilities: return "Timer resolution range ...";
        case Line::TimeGetTime: return "Time for timeGetTime() call ...";
        case Line::TimerResolution: return "timeGetTime resolution ...";
        case Line::NowTime: return "Time for Now() call";
        case Line::GetTickCountResolution: return "GetTickCount resolution ...";
        case Line::SysTimeAsFileTimeRes: return "GetSystemTimeAsFileTime resolution ...";
    }
    return "";
}

std::vector<Figure> runClockSurvey(SurveyDisplay& display, std::int64_t frequency,
                                   const format::ResultFormatter& format) {
    Run run(display, frequency, format);
    return run();
}

std::string frequencyLine(std::int64_t frequency, const format::ResultFormatter& format) {
    return "Performance counter frequency: " + format.general(static_cast<double>(frequency) / 1000000.0) + " MHz";
}

std::string printedLine(Line line, const LineRecord& record) {
    std::string text = record.text.empty() ? std::string(placeholderText(line)) + " (no result)" : record.text;
    if (!record.hint.empty()) text += "  [" + record.hint + "]";
    return text;
}

std::string timeAdjustmentFailureText(std::uint32_t error, const format::ResultFormatter& format) {
    return format("EC=$%X, %S", error, trimSystemMessage(platform::systemErrorMessage(error)));
}

std::string trimSystemMessage(std::string message) {
    while (!message.empty() &&
           (static_cast<unsigned char>(message.back()) < 33 || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}

}  // namespace survey
