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

// Runs the survey (about eight seconds on real clocks). `frequency` is the
// performance counter frequency read at start-up, 0 when there is none.
void runClockSurvey(SurveyDisplay& display, std::int64_t frequency,
                    const format::ResultFormatter& format);

// What the survey shows when the time adjustment query fails with `error`:
// "EC=$" + the code in hexadecimal + ", " + the system's trimmed message.
std::string timeAdjustmentFailureText(std::uint32_t error, const format::ResultFormatter& format);

// A system error message as the survey shows it: without the trailing line
// break, blanks and full stop that system message tables append.
std::string trimSystemMessage(std::string message);

}  // namespace survey
