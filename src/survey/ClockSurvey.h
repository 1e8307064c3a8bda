#pragma once
// The clock survey run: eleven measurements in a fixed order, each result
// written into its own line of a display as soon as it is known.
//
// The run knows nothing of widgets: it drives a SurveyDisplay, which the
// survey window implements with its labels and the tests implement with a
// recorder. Display calls happen only between measurements, never inside a
// measuring loop.

#include "format/ResultFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace survey {

// The lines of the survey, in the order the run fills them.
enum class Line {
    Clock,
    TickCount,
    TimeQPC,
    GetCPUSpeed,
    SystemTimeAdjustment,
    TimerCapabilities,
    TimeGetTime,
    TimerResolution,
    NowTime,
    GetTickCountResolution,
    SysTimeAsFileTimeRes,
};
inline constexpr int kLineCount = 11;

// A line's text before the survey has measured it.
const char* placeholderText(Line line);

class SurveyDisplay {
public:
    virtual ~SurveyDisplay() = default;
    virtual void setText(Line line, const std::string& text) = 0;
    virtual void setHint(Line line, const std::string& hint) = 0;
    // A disabled line is drawn greyed: the run greys a line while measuring it.
    virtual void setEnabled(Line line, bool enabled) = 0;
    // Draws the line now; the run never returns to the event loop until done.
    virtual void repaint(Line line) = 0;
};

// One figure of a run as a number, for reports that want more than text.
struct Figure {
    std::string key;    // stable identifier, e.g. "queryPerformanceCounterCallCost"
    std::string label;  // what the figure is, in words
    double value = 0;
    std::string unit;   // "ns", "ms", "µs", "MHz", "100 ns", "count", "flag"
};

// Runs the survey (about eight seconds on real clocks). `frequency` is the
// performance counter frequency read at start-up, 0 when there is none.
// Returns the figures it measured, in survey order; a step that failed or
// saw no change adds none.
std::vector<Figure> runClockSurvey(SurveyDisplay& display, std::int64_t frequency,
                                   const format::ResultFormatter& format);

// The line above the survey's lines: the performance counter frequency in
// MHz, read once at start-up (0 when there is none).
std::string frequencyLine(std::int64_t frequency, const format::ResultFormatter& format);

// What a run wrote into one line: its text (empty: never written) and hint.
struct LineRecord {
    std::string text;
    std::string hint;
};
// A line as the reports print and copy it: its text, then its hint in
// brackets; a line the run never wrote shows its placeholder and
// "(no result)".
std::string printedLine(Line line, const LineRecord& record);

// What the survey shows when the time adjustment query fails with `error`:
// "EC=$" + the code in hexadecimal + ", " + the system's trimmed message.
std::string timeAdjustmentFailureText(std::uint32_t error, const format::ResultFormatter& format);

// A system error message as the survey shows it: without the trailing line
// break, blanks and full stop that system message tables append.
std::string trimSystemMessage(std::string message);

}  // namespace survey
