#include "platform/FactsParsing.h"

#include <gtest/gtest.h>

namespace {

TEST(KernelTscRate, PrefersTheRefinedCalibration) {
    const std::string log =
        "[    0.000000] tsc: Detected 2599.998 MHz processor\n"
        "[    0.456000] clocksource: Switched to clocksource tsc-early\n"
        "[    1.234567] tsc: Refined TSC clocksource calibration: 2600.012 MHz\n";
    EXPECT_DOUBLE_EQ(*platform::parse::kernelTscMHz(log), 2600.012);
}

TEST(KernelTscRate, FallsBackToTheDetectedRateOrNothing) {
    EXPECT_DOUBLE_EQ(*platform::parse::kernelTscMHz("[0.000072] tsc: Detected 2599.998 MHz processor\n"), 2599.998);
    EXPECT_DOUBLE_EQ(*platform::parse::kernelTscMHz("tsc: Detected 3000 MHz processor"), 3000);
    EXPECT_FALSE(platform::parse::kernelTscMHz("").has_value());
    EXPECT_FALSE(platform::parse::kernelTscMHz("dmesg: read kernel buffer failed: Operation not permitted\n"));
}

TEST(CpuinfoTscFlags, ReadsTheFirstFlagsLineWordByWord) {
    struct Case {
        const char* cpuinfo;
        bool known, constant, nonstop;
    };
    const Case cases[] = {
        {"processor\t: 0\nflags\t\t: fpu tsc constant_tsc nonstop_tsc rdtscp\n", true, true, true},
        {"flags\t\t: fpu tsc constant_tsc\nflags\t\t: nonstop_tsc\n", true, true, false},  // first line only
        {"flags\t\t: fpu constant_tsc_x nonstop_tsc\n", true, false, true},  // whole words only
        {"Features\t: fp asimd evtstrm\n", false, false, false},               // no flags line (Arm)
        {"", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cpuinfo);
        const platform::TscFlags flags = platform::parse::cpuinfoTscFlags(c.cpuinfo);
        EXPECT_EQ(flags.known, c.known);
        EXPECT_EQ(flags.constant, c.constant);
        EXPECT_EQ(flags.nonstop, c.nonstop);
        EXPECT_EQ(flags.invariant(), c.constant && c.nonstop);
    }
}

TEST(HypervisorName, NamesKnownSignaturesAndKeepsOthers) {
    EXPECT_EQ(platform::parse::hypervisorName(std::string("KVMKVMKVM\0\0\0", 12)), "KVM");
    EXPECT_EQ(platform::parse::hypervisorName("Microsoft Hv"), "Microsoft Hyper-V");
    EXPECT_EQ(platform::parse::hypervisorName("VMwareVMware"), "VMware");
    EXPECT_EQ(platform::parse::hypervisorName(std::string(12, '\0')), "unknown");
    EXPECT_EQ(platform::parse::hypervisorName("NewVisorName"), "NewVisorName");
    // Padding and repetition go: the name once, trimmed.
    EXPECT_EQ(platform::parse::hypervisorName("bhyve bhyve "), "bhyve");
    EXPECT_EQ(platform::parse::hypervisorName("TCGTCGTCGTCG"), "QEMU (TCG)");
    EXPECT_EQ(platform::parse::hypervisorName(std::string("ab\0\0\0\0\0\0\0\0\0\0", 12)), "ab");
}

}  // namespace
