// zentora-accuracy: how right are the survey's figures? Each one is measured
// the way the survey measures it (the same loops and arithmetic from
// src/timing) and set beside an independent reference on the same machine:
// Google Benchmark's time per call, the kernel's TSC rate, clock_getres.
//
//   zentora-accuracy [--repetitions N] [--json]
//
// Prints a table (or, with --json, a JSON array). Figures are medians over
// N repetitions. Exits non-zero only when something could not be measured;
// a figure off its target is reported, not fatal: these machines are noisy.
//
// This file calls the OS directly (clock_gettime, clock_getres) where it
// needs a reference that does not go through the clock layer it checks;
// everything else it asks the OS layer.

#include "platform/Clocks.h"
#include "platform/LinuxTime.h"
#include "platform/SystemFacts.h"
#include "timing/FigureArithmetic.h"
#include "timing/Measure.h"
#include "timing/Statistics.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

double median(const std::vector<double>& v) { return timing::Median(v.data(), v.size()); }

long long rawNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

struct Figure {
    std::string name;
    double value = 0;
    double reference = 0;
    std::string unit;
    double error = 0;   // (value - reference) / reference
    double target = 0;  // bound on |error|
    bool met = false;
    std::string note;
};

Figure relative(std::string name, double value, double reference, std::string unit, double target,
                std::string note = {}) {
    Figure f{std::move(name), value, reference, std::move(unit), 0, target, false, std::move(note)};
    f.error = reference != 0 ? (value - reference) / reference : 0;
    f.met = std::fabs(f.error) <= target + 1e-12;
    return f;
}

// ---- Google Benchmark: the same calls, timed by a well-known harness.

// The harness's own loop, to take out of the per-call times.
void emptyLoop(benchmark::State& state) {
    for (auto _ : state) benchmark::ClobberMemory();
}

inline void readTick() { benchmark::DoNotOptimize(platform::tickCount()); }
inline void readPerformanceCounter() { benchmark::DoNotOptimize(platform::queryPerformanceCounter()); }
inline void readMultimediaTime() { benchmark::DoNotOptimize(platform::multimediaTime()); }
inline void readLocalDateTime() { benchmark::DoNotOptimize(platform::localDateTime()); }

template <void (*X)()>
void call(benchmark::State& state) {
    for (auto _ : state) X();
}

// A tick read followed by X: what one iteration of the survey's loop does.
template <void (*X)()>
void afterTick(benchmark::State& state) {
    for (auto _ : state) {
        readTick();
        X();
    }
}

// Collects the median real time per iteration of each benchmark, in ns.
class MedianCollector : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate || medians.count(name) == 0) {
                medians[name] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> medians;
};

std::map<std::string, double> benchmarkCalls(int repetitions) {
    const std::pair<const char*, void (*)(benchmark::State&)> benchmarks[] = {
        {"empty", emptyLoop},
        {"GetTickCount", call<readTick>},
        {"QueryPerformanceCounter", call<readPerformanceCounter>},
        {"timeGetTime", call<readMultimediaTime>},
        {"Now", call<readLocalDateTime>},
        {"GetTickCount+QueryPerformanceCounter", afterTick<readPerformanceCounter>},
        {"GetTickCount+timeGetTime", afterTick<readMultimediaTime>},
        {"GetTickCount+Now", afterTick<readLocalDateTime>},
    };
    for (const auto& [name, function] : benchmarks) {
        benchmark::RegisterBenchmark(name, function)
            ->Unit(benchmark::kNanosecond)
            ->MinTime(0.3)
            ->Repetitions(repetitions)
            ->ReportAggregatesOnly(true);
    }
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    return collector.medians;
}

// ---- The survey's own way.

struct SurveyCosts {
    double tickCount, performanceCounter, multimediaTime, localDateTime;  // ns
};

SurveyCosts surveyCosts(int repetitions) {
    std::vector<double> tick, qpc, mm, now;
    for (int i = 0; i < repetitions; ++i) {
        const double baseline = timing::baselineSeconds(timing::countBareLoop());
        tick.push_back(baseline * 1e9);
        qpc.push_back(timing::callCostNs(timing::countPerformanceCounterLoop(), baseline));
        mm.push_back(timing::callCostNs(timing::countMultimediaTimeLoop(), baseline));
        now.push_back(timing::callCostNs(timing::countLocalDateTimeLoop(), baseline));
    }
    return {median(tick), median(qpc), median(mm), median(now)};
}

std::string fixed(double v, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

void printJson(const std::vector<Figure>& figures) {
    std::printf("[\n");
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const Figure& f = figures[i];
        std::printf("  {\"figure\": %s, \"value\": %.6g, \"reference\": %.6g, \"unit\": %s, \"error\": %.6g, "
                    "\"target\": %.6g, \"met\": %s, \"note\": %s}%s\n",
                    jsonString(f.name).c_str(), f.value, f.reference, jsonString(f.unit).c_str(), f.error,
                    f.target, f.met ? "true" : "false", jsonString(f.note).c_str(),
                    i + 1 < figures.size() ? "," : "");
    }
    std::printf("]\n");
}

void printTable(const std::vector<Figure>& figures, const std::string& header) {
    std::printf("%s\n\n", header.c_str());
    std::printf("| figure | survey value | reference | error | target | met | note |\n");
    std::printf("|---|---:|---:|---:|---:|:-:|---|\n");
    for (const Figure& f : figures) {
        const int decimals = f.unit == "ns" ? 2 : 3;
        std::printf("| %s | %s %s | %s %s | %+.3f %% | ±%.3f %% | %s | %s |\n", f.name.c_str(),
                    fixed(f.value, decimals).c_str(), f.unit.c_str(), fixed(f.reference, decimals).c_str(),
                    f.unit.c_str(), f.error * 100, f.target * 100, f.met ? "yes" : "**no**", f.note.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    int repetitions = 5;
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--repetitions") == 0 && i + 1 < argc) {
            repetitions = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--repetitions N] [--json]\n", argv[0]);
            return 2;
        }
    }
    if (repetitions < 1) {
        std::fprintf(stderr, "zentora-accuracy: --repetitions needs a whole number above 0\n");
        return 2;
    }
    int benchArgc = 1;
    benchmark::Initialize(&benchArgc, argv);

    std::int64_t frequency = 0;
    if (!platform::queryPerformanceFrequency(frequency) || frequency <= 0) {
        std::fprintf(stderr, "zentora-accuracy: no performance counter to measure with\n");
        return 1;
    }
    const auto tsc = platform::tscReference();
    if (!tsc) {
        std::fprintf(stderr, "zentora-accuracy: no reference for the cycle counter's rate\n");
        return 1;
    }
    const std::string clocksource = platform::currentClocksource();
    const bool tscBacksTheClocks = clocksource == "tsc";

    std::vector<Figure> figures;

    // Call costs: survey loops against Google Benchmark's median per call,
    // less the harness's own loop.
    const std::map<std::string, double> harness = benchmarkCalls(repetitions);
    for (const char* name : {"empty", "GetTickCount", "QueryPerformanceCounter", "timeGetTime", "Now",
                             "GetTickCount+QueryPerformanceCounter", "GetTickCount+timeGetTime",
                             "GetTickCount+Now"}) {
        if (harness.count(name) == 0 || harness.at(name) <= 0) {
            std::fprintf(stderr, "zentora-accuracy: Google Benchmark gave no time for %s\n", name);
            return 1;
        }
    }
    const double harnessLoop = harness.at("empty");
    auto standalone = [&](const std::string& name) { return harness.at(name) - harnessLoop; };
    const SurveyCosts survey = surveyCosts(repetitions);
    auto costTarget = [](double reference) { return std::max(0.05, 0.5 / reference); };

    figures.push_back(relative("Time for GetTickCount call", survey.tickCount, standalone("GetTickCount"), "ns",
                               costTarget(standalone("GetTickCount")),
                               "the bare loop: one GetTickCount read plus the loop's own overhead"));
    for (const auto& [name, value] : {std::pair{"QueryPerformanceCounter", survey.performanceCounter},
                                      std::pair{"timeGetTime", survey.multimediaTime},
                                      std::pair{"Now", survey.localDateTime}}) {
        const double alone = standalone(name);
        figures.push_back(relative(std::string("Time for ") + name + " call", value, alone, "ns", costTarget(alone),
                                   "reference: the call on its own"));
        // What the survey's subtraction measures: the call's extra time in a
        // loop that also reads the tick count.
        const double marginal = harness.at(std::string("GetTickCount+") + name) - harness.at("GetTickCount");
        figures.push_back(relative(std::string("Time for ") + name + " call (after a tick read)", value, marginal,
                                   "ns", costTarget(marginal),
                                   "reference: harness time of tick read + call, less the tick read"));
    }

    // The counting loop's own overhead: the bare loop's time per iteration
    // beyond one GetTickCount call as the harness times it.
    double cheapest = standalone("GetTickCount");
    for (const char* name : {"QueryPerformanceCounter", "timeGetTime", "Now"}) {
        cheapest = std::min(cheapest, standalone(name));
    }
    {
        const double overhead = survey.tickCount - standalone("GetTickCount");
        figures.push_back(Figure{"Counting-loop overhead per iteration", overhead, cheapest, "ns",
                                 overhead / cheapest, 0.5 / cheapest, overhead <= 0.5,
                                 "bare loop less one GetTickCount call; error: share of the cheapest call; "
                                 "target: at most 0.5 ns"});
    }

    // The cycle counter's rate, two ways.
    const std::string tscNote = tscBacksTheClocks
                                    ? "clocksource is the TSC: a consistency check, not an independent oscillator"
                                    : "clocksource " + clocksource;
    {
        std::vector<double> mhz, overshootUs;
        for (int i = 0; i < repetitions; ++i) {
            const long long before = rawNs();
            mhz.push_back(static_cast<double>(timing::timeStampCounterMHzOverOneSecond()));
            overshootUs.push_back(static_cast<double>(rawNs() - before - 1000000000LL) / 1e3);
        }
        figures.push_back(relative("Clock speed from RDTSC", median(mhz), tsc->mhz, "MHz", 0.005,
                                   "Sleep(1000) overshoot " + fixed(median(overshootUs), 1) +
                                       " µs; truncated to whole MHz; " + tscNote + "; reference: " +
                                       tsc->source));
    }
    {
        std::vector<double> mhz;
        for (int i = 0; i < std::max(11, repetitions * 4); ++i) mhz.push_back(timing::GetCPUSpeed() / 1e6);
        figures.push_back(relative("GetCPUspeed", median(mhz), tsc->mhz, "MHz", 100e-6,
                                   tscNote + "; reference: " + tsc->source));
    }

    // Resolutions, as the survey shows them, against the kernel's word.
    {
        const timing::TickSteps steps = timing::measureTickSteps();
        if (steps.count == 0) {
            std::fprintf(stderr, "zentora-accuracy: the tick count did not move\n");
            return 1;
        }
        const double shown = std::round(steps.sum / steps.count * 100) / 100;  // "%.2f ms"
        figures.push_back(relative("GetTickCount resolution", shown,
                                   static_cast<double>(platform::linux_time::resolutionNs(CLOCK_MONOTONIC_COARSE)) / 1e6, "ms", 0,
                                   "mean tick step; reference: clock_getres(CLOCK_MONOTONIC_COARSE)"));
    }
    {
        timing::FileTimeSteps steps;
        timing::captureFileTimeSteps(steps);
        if (steps.count == 0) {
            std::fprintf(stderr, "zentora-accuracy: the file time did not move\n");
            return 1;
        }
        const double us = std::round(timing::Median(steps.steps.data(), steps.count) / 10 * 10) / 10;  // "%.1f µs"
        figures.push_back(relative("GetSystemTimeAsFileTime resolution", us,
                                   static_cast<double>(platform::linux_time::resolutionNs(CLOCK_REALTIME_COARSE)) / 1e3, "µs", 0,
                                   "median step; reference: clock_getres(CLOCK_REALTIME_COARSE)"));
    }
    {
        // Each figure times three steps between two timer edges; an edge that
        // coincides with the kernel tick is seen late by the tick handler's
        // run time. One measurement takes four 1 ms steps, as long as a
        // 250 Hz tick, so back-to-back repetitions would all meet the tick at
        // the same edge: a short sleep of varying length between them
        // spreads them over the tick's phases, and the median skips the
        // ones the tick delayed.
        std::vector<double> us;
        for (int i = 0; i < std::max(21, repetitions * 4); ++i) {
            platform::sleepMs(1 + static_cast<std::uint32_t>(i % 3));
            us.push_back(static_cast<double>(
                timing::multimediaTimerStepUs(timing::multimediaTimerThreeStepsCounts(), frequency)));
        }
        figures.push_back(relative("timeGetTime resolution", median(us), 1000, "µs", 0.01,
                                   "three 1 ms steps timed by the performance counter"));
    }

    if (json) {
        printJson(figures);
    } else {
        char header[256];
        std::snprintf(header, sizeof header, "Medians of %d repetitions; clocksource %s; TSC reference %.3f MHz (%s)",
                      repetitions, clocksource.c_str(), tsc->mhz, tsc->source.c_str());
        printTable(figures, header);
    }
    return 0;
}
