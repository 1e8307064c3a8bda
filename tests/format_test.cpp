#include "format/ResultFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FixedCase {
    const char* name;
    const char* pattern;
    double value;
    const char* expected;
};

class FixedFormat : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedFormat, RoundsHalfAwayFromZeroAfter18Digits) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(format::ResultFormatter()(c.pattern, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedFormat,
    ::testing::Values(
        // printf rounds ties to even and would write 15.62 and 0.12.
        FixedCase{"tie_rounds_up", "%.2f", 15.625, "15.63"},
        FixedCase{"tie_below_one", "%.2f", 0.125, "0.13"},
        // 1.45 is 1.4499999999999999556 in binary: 18 digits keep the 4.
        FixedCase{"binary_below_tie", "%.1f", 1.45, "1.4"},
        FixedCase{"negative_tie_away_from_zero", "~%.1f ns", -3.25, "~-3.3 ns"},
        FixedCase{"negative_cost_keeps_sign", "Time for timeGetTime call: ~%.1f ns", -0.4,
                  "Time for timeGetTime call: ~-0.4 ns"},
        FixedCase{"negative_rounding_to_zero_has_no_sign", "%.1f", -0.04, "0.0"},
        FixedCase{"carry_into_new_digit", "%.2f", 9.999, "10.00"},
        FixedCase{"carry_below_one", "%.2f", 0.996, "1.00"},
        FixedCase{"plain_f_is_two_decimals", "GetCPUspeed gives: %f MHz", 2599.984,
                  "GetCPUspeed gives: 2599.98 MHz"},
        FixedCase{"zero", "%.1f", 0.0, "0.0"},
        FixedCase{"large_value", "%.2f", 123456789.125, "123456789.13"},
        FixedCase{"tiny_value", "%.1f", 1e-300, "0.0"},
        FixedCase{"micro_sign_passes_through", "timeGetTime resolution: %.1f µs", 1000.0,
                  "timeGetTime resolution: 1000.0 µs"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GeneralFormat, PlainDecimalWithoutTrailingZeros) {
    const format::ResultFormatter f;
    EXPECT_EQ(f.general(10.0), "10");
    EXPECT_EQ(f.general(1000.0), "1000");
    EXPECT_EQ(f.general(0.0), "0");
    EXPECT_EQ(f.general(3.579545), "3.579545");
    EXPECT_EQ(f.general(0.001), "0.001");
    EXPECT_EQ(f.general(2.0 / 3.0), "0.666666666666667");  // 15 significant digits
    EXPECT_EQ(f.general(1e20), "100000000000000000000");  // never exponent notation
    EXPECT_EQ(f.general(-2.5), "-2.5");
}

TEST(ResultFormat, IntegersHexAndStrings) {
    const format::ResultFormatter f;
    EXPECT_EQ(f("TimeAdj=%D, TimeIncr=%D, %S", 156250, -1, "disabled"),
              "TimeAdj=156250, TimeIncr=-1, disabled");
    EXPECT_EQ(f("EC=$%X, %S", 87U, "The parameter is incorrect"), "EC=$57, The parameter is incorrect");
    EXPECT_EQ(f("%X", 0xDEADBEEFU), "DEADBEEF");
    EXPECT_EQ(f("%X", -1), "FFFFFFFF");  // an error code stored as a signed 32-bit value
    EXPECT_EQ(f("%d calls", static_cast<std::size_t>(96)), "96 calls");
    EXPECT_EQ(f("100%% of %d", 3), "100% of 3");
}

TEST(ResultFormat, MissingOrMismatchedArgumentsStayVisible) {
    const format::ResultFormatter f;
    EXPECT_EQ(f("from %d to %d ms", 1), "from 1 to %d ms");
    EXPECT_EQ(f("%d", "text"), "%d");
}

TEST(ResultFormat, UsesTheGivenDecimalSeparator) {
    const format::ResultFormatter comma(",");
    EXPECT_EQ(comma("GetTickCount resolution: %.2f ms", 15.625), "GetTickCount resolution: 15,63 ms");
    EXPECT_EQ(comma.general(3.579545), "3,579545");
    EXPECT_EQ(comma.general(10.0), "10");
    EXPECT_EQ(comma("%d", 1000000), "1000000");  // no thousands separators
}

}  // namespace
