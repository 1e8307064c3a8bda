#pragma once
// Calendar arithmetic shared by the clock backends: no system calls here.

#include <cstdint>

namespace platform::civil {

// Days from 1970-01-01 to the given proleptic Gregorian date (negative
// before it). Howard Hinnant's days_from_civil, exact for every int year.
constexpr std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

// 1899-12-30 is day zero of the date-time count the program reports.
inline constexpr std::int64_t kDateTimeEpochFromUnix = -daysFromCivil(1899, 12, 30);

// A local calendar time as days since 1899-12-30, the time of day as the
// fraction.
constexpr double dateTimeFromCivil(int year, unsigned month, unsigned day, unsigned hour,
                                   unsigned minute, unsigned second, unsigned millisecond) {
    const auto days = static_cast<double>(daysFromCivil(year, month, day) + kDateTimeEpochFromUnix);
    const double msOfDay = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond;
    return days + msOfDay / 86400000.0;
}

// 100 ns units from 1601-01-01 to 1970-01-01.
inline constexpr std::uint64_t kFileTimeUnixEpoch = 116444736000000000ULL;

static_assert(daysFromCivil(1970, 1, 1) == 0);
static_assert(kDateTimeEpochFromUnix == 25569);
static_assert(static_cast<std::uint64_t>(-daysFromCivil(1601, 1, 1)) * 86400ULL * 10000000ULL ==
              kFileTimeUnixEpoch);

}  // namespace platform::civil
