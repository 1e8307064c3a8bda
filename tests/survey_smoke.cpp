// One survey on this machine's real clocks, printed line by line. Fails only
// if a line stayed unfilled: the figures themselves depend on the machine.

#include "support/RecordingDisplay.h"

#include "platform/Clocks.h"
#include "platform/SystemFacts.h"
#include "survey/ClockSurvey.h"

#include <cstdio>

int main() {
    std::int64_t frequency = 0;
    platform::queryPerformanceFrequency(frequency);
    std::printf("Performance counter frequency: %lld counts/s; program version %s\n",
                static_cast<long long>(frequency), platform::programFileVersion().c_str());
    testsupport::RecordingDisplay display;
    survey::runClockSurvey(display, frequency, format::ResultFormatter());
    int unfilled = 0;
    for (const auto& line : display.lines) {
        std::printf("  %s", line.text.c_str());
        if (!line.hint.empty()) std::printf("   [hint: %s]", line.hint.c_str());
        std::printf("\n");
        if (line.text == "...") ++unfilled;
    }
    if (unfilled > 0) std::printf("%d of %d lines stayed unfilled\n", unfilled, survey::kLineCount);
    return unfilled == 0 ? 0 : 1;
}
