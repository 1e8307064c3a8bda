#include "sysinfo/SystemInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(KernelTscRate, PrefersTheRefinedCalibration) {
    const std::string log =
        "[    0.000000] tsc: Detected 2599.998 MHz processor\n"
        "[    0.456000] clocksource: Switched to clocksource tsc-early\n"
        "[    1.234567] tsc: Refined TSC clocksource calibration: 2600.012 MHz\n";
    EXPECT_DOUBLE_EQ(*sysinfo::parseKernelTscMHz(log), 2600.012);
}

TEST(KernelTscRate, FallsBackToTheDetectedRateOrNothing) {
    EXPECT_DOUBLE_EQ(*sysinfo::parseKernelTscMHz("[0.000072] tsc: Detected 2599.998 MHz processor\n"), 2599.998);
    EXPECT_DOUBLE_EQ(*sysinfo::parseKernelTscMHz("tsc: Detected 3000 MHz processor"), 3000);
    EXPECT_FALSE(sysinfo::parseKernelTscMHz("").has_value());
    EXPECT_FALSE(sysinfo::parseKernelTscMHz("dmesg: read kernel buffer failed: Operation not permitted\n"));
}

}  // namespace
