#pragma once
// The survey's lines as the reports print them, for one run on the default
// simulated clock with a 1 ms tick and 4 ms file-time steps (the set-up the
// survey window and report tests share).

// A macro, so a test can join it to more literal text.
#define ZENTORA_SIMULATED_SURVEY_LINES \
    "Performance counter frequency: 10 MHz\n" \
    "Clock speed from RDTSC: ~3000 MHz\n" \
    "Time for GetTickCount call ~249.8 ns\n" \
    "Time for QueryPerformanceCounter call ~399.6 ns\n" \
    "GetCPUspeed gives: 2999.99 MHz\n" \
    "TimeAdj=156250, TimeIncr=156250, disabled\n" \
    "Timer resolution from: 1 to 1000000 milliseconds\n" \
    "Time for timeGetTime call: ~299.7 ns\n" \
    "timeGetTime resolution: 1000.0 µs\n" \
    "Time for Now() call: ~999.0 ns\n" \
    "GetTickCount resolution: 1.00 ms  [1500 calls]\n" \
    "GetSystemTimeAsFileTime resolution: 4000.0 µs  (std.dev=0.0 µs)  [median & std. dev. over 391 intervals]\n"
