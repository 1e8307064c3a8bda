#include "format/ResultFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace format {
namespace {

constexpr int kSignificantDigits = 18;

// |value| written with 18 significant digits: the digits, and the power of
// ten of the first one.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal decompose(double magnitude) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, magnitude);
    Decimal d;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    }
    d.exponent = std::atoi(p + 1);
    return d;
}

// Keeps the first `keep` digits of `digits` (zero-padded when it has fewer)
// and rounds half away from zero on the first dropped one. Returns true
// when the carry added a leading digit.
bool roundTo(std::string& digits, int keep) {
    const bool roundUp = keep >= 0 && keep < static_cast<int>(digits.size()) && digits[keep] >= '5';
    if (keep <= 0) {
        digits = roundUp ? "1" : "";
        return roundUp;
    }
    digits.resize(static_cast<std::size_t>(keep), '0');
    if (!roundUp) return false;
    for (int i = keep - 1; i >= 0; --i) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

bool allZero(const std::string& digits) {
    return digits.find_first_not_of('0') == std::string::npos;
}

std::string nonFinite(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

}  // namespace

ResultFormatter::ResultFormatter(std::string decimalSeparator)
    : decimalSeparator_(std::move(decimalSeparator)) {}

std::string ResultFormatter::fixed(double value, int decimals) const {
    if (!std::isfinite(value)) return nonFinite(value);
    Decimal d = decompose(std::fabs(value));
    // Digits at 10^-decimals and above are kept: the integer M below is the
    // result times 10^decimals.
    std::string m = d.digits;
    roundTo(m, d.exponent + 1 + decimals);
    if (m.size() < static_cast<std::size_t>(decimals) + 1) {
        m.insert(0, static_cast<std::size_t>(decimals) + 1 - m.size(), '0');
    }
    std::string out;
    // A value that rounds to zero is written without a sign.
    if (std::signbit(value) && !allZero(m)) out.push_back('-');
    out.append(m, 0, m.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) {
        out += decimalSeparator_;
        out.append(m, m.size() - static_cast<std::size_t>(decimals), std::string::npos);
    }
    return out;
}

std::string ResultFormatter::general(double value) const {
    if (!std::isfinite(value)) return nonFinite(value);
    constexpr int kGeneralDigits = 15;
    if (value == 0.0) return "0";
    Decimal d = decompose(std::fabs(value));
    std::string m = d.digits;
    if (roundTo(m, kGeneralDigits)) ++d.exponent;
    m.resize(kGeneralDigits);
    // m holds digits for the powers d.exponent down to d.exponent - 14.
    std::string integerPart;
    std::string fraction;
    if (d.exponent >= kGeneralDigits - 1) {
        integerPart = m + std::string(static_cast<std::size_t>(d.exponent - (kGeneralDigits - 1)), '0');
    } else if (d.exponent >= 0) {
        integerPart = m.substr(0, static_cast<std::size_t>(d.exponent) + 1);
        fraction = m.substr(static_cast<std::size_t>(d.exponent) + 1);
    } else {
        integerPart = "0";
        fraction = std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + m;
    }
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::string out = std::signbit(value) ? "-" : "";
    out += integerPart;
    if (!fraction.empty()) out += decimalSeparator_ + fraction;
    return out;
}

std::string ResultFormatter::format(std::string_view pattern,
                                    std::initializer_list<FormatArg> args) const {
    std::string out;
    const FormatArg* next = args.begin();
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c != '%') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out.push_back('%');
            i += 2;
            continue;
        }
        // Parse %[.N]K.
        std::size_t j = i + 1;
        int precision = -1;
        if (j < pattern.size() && pattern[j] == '.') {
            ++j;
            precision = 0;
            while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9') {
                precision = precision * 10 + (pattern[j] - '0');
                ++j;
            }
        }
        const char kind = j < pattern.size() ? pattern[j] : '\0';
        const std::string_view placeholder = pattern.substr(i, j + 1 - i);
        i = j + 1;
        if (next == args.end()) {
            out += placeholder;
            continue;
        }
        const auto& value = next->value();
        bool used = true;
        switch (kind) {
            case 'd':
            case 'D':
                if (const auto* n = std::get_if<std::int64_t>(&value)) {
                    out += std::to_string(*n);
                } else {
                    used = false;
                }
                break;
            case 'X':
                if (const auto* n = std::get_if<std::int64_t>(&value)) {
                    // A negative 32-bit code shows as its DWORD bit pattern.
                    const std::uint64_t bits = (*n < 0 && *n >= INT32_MIN)
                                                   ? static_cast<std::uint32_t>(*n)
                                                   : static_cast<std::uint64_t>(*n);
                    char buffer[24];
                    std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(bits));
                    out += buffer;
                } else {
                    used = false;
                }
                break;
            case 'S':
            case 's':
                if (const auto* s = std::get_if<std::string_view>(&value)) {
                    out += *s;
                } else {
                    used = false;
                }
                break;
            case 'f':
                if (const auto* x = std::get_if<double>(&value)) {
                    out += fixed(*x, precision < 0 ? 2 : precision);
                } else if (const auto* n = std::get_if<std::int64_t>(&value)) {
                    out += fixed(static_cast<double>(*n), precision < 0 ? 2 : precision);
                } else {
                    used = false;
                }
                break;
            default:
                used = false;
                break;
        }
        if (used) {
            ++next;
        } else {
            out += placeholder;
        }
    }
    return out;
}

}  // namespace format
