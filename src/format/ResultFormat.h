#pragma once
// Formats the program's result lines from format strings such as
// "Time for GetTickCount call ~%.1f ns".
//
// Placeholders: %d and %D (signed decimal), %X (upper-case hexadecimal, no
// leading zeros), %S (a string, unchanged), %.Nf (N decimals) and %f (two
// decimals), %% (a percent sign). Numbers are rounded half away from zero
// after writing them with 18 significant digits, so 15.625 shows as 15.63
// where printf would give 15.62. No thousands separators are written; the
// decimal separator is the one given to the formatter (the user's locale's).

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace format {

class FormatArg {
public:
    // NOLINTBEGIN(google-explicit-constructor): arguments convert like printf's.
    FormatArg(int value) : value_(static_cast<std::int64_t>(value)) {}
    FormatArg(long value) : value_(static_cast<std::int64_t>(value)) {}
    FormatArg(long long value) : value_(static_cast<std::int64_t>(value)) {}
    FormatArg(unsigned value) : value_(static_cast<std::int64_t>(value)) {}
    FormatArg(unsigned long value) : value_(static_cast<std::int64_t>(value)) {}
    FormatArg(unsigned long long value) : value_(static_cast<std::int64_t>(value)) {}
    FormatArg(double value) : value_(value) {}
    FormatArg(long double value) : value_(static_cast<double>(value)) {}
    FormatArg(std::string_view value) : value_(value) {}
    FormatArg(const char* value) : value_(std::string_view(value)) {}
    FormatArg(const std::string& value) : value_(std::string_view(value)) {}
    // NOLINTEND(google-explicit-constructor)

    const std::variant<std::int64_t, double, std::string_view>& value() const { return value_; }

private:
    std::variant<std::int64_t, double, std::string_view> value_;
};

class ResultFormatter {
public:
    explicit ResultFormatter(std::string decimalSeparator = ".");

    // Fills the placeholders of `pattern` with `args` in order. A
    // placeholder without an argument, or of the wrong kind for its
    // argument, is written as it stands, so a mistake shows in the text
    // instead of crashing the program.
    std::string format(std::string_view pattern, std::initializer_list<FormatArg> args) const;

    template <class... Args>
    std::string operator()(std::string_view pattern, const Args&... args) const {
        return format(pattern, {FormatArg(args)...});
    }

    // Fixed-point with `decimals` decimals, rounded as described above.
    std::string fixed(double value, int decimals) const;
    // At most 15 significant digits in plain decimal notation, without
    // trailing zeros or a trailing separator: 10.0 gives "10".
    std::string general(double value) const;

    const std::string& decimalSeparator() const { return decimalSeparator_; }

private:
    std::string decimalSeparator_;
};

}  // namespace format
