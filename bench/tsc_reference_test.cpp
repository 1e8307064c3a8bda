#include "TscReference.h"

#include <gtest/gtest.h>

namespace {

TEST(KernelTscRate, PrefersTheRefinedCalibration) {
    const std::string log =
        "[    0.000000] tsc: Detected 2599.998 MHz processor\n"
        "[    0.456000] clocksource: Switched to clocksource tsc-early\n"
        "[    1.234567] tsc: Refined TSC clocksource calibration: 2600.012 MHz\n";
    EXPECT_DOUBLE_EQ(*bench::parseKernelTscMHz(log), 2600.012);
}

TEST(KernelTscRate, FallsBackToTheDetectedRateOrNothing) {
    EXPECT_DOUBLE_EQ(*bench::parseKernelTscMHz("[0.000072] tsc: Detected 2599.998 MHz processor\n"), 2599.998);
    EXPECT_DOUBLE_EQ(*bench::parseKernelTscMHz("tsc: Detected 3000 MHz processor"), 3000);
    EXPECT_FALSE(bench::parseKernelTscMHz("").has_value());
    EXPECT_FALSE(bench::parseKernelTscMHz("dmesg: read kernel buffer failed: Operation not permitted\n"));
}

}  // namespace
