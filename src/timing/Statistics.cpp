#include "timing/Statistics.h"

#include <cmath>
#include <utility>
#include <vector>

namespace timing {

double Median(const double* values, std::size_t count) {
    std::vector<double> sorted(values, values + count);
    const std::size_t half = count / 2;
    // Only the lower half of a descending order is needed: each bubble pass
    // sinks the smallest unsorted value to the end, so half + 1 passes fix
    // positions count-1-half .. count-1, which hold the middle.
    for (std::size_t pass = 0; pass <= half && pass + 1 < count; ++pass) {
        for (std::size_t j = 1; j < count - pass; ++j) {
            if (sorted[j] > sorted[j - 1]) std::swap(sorted[j], sorted[j - 1]);
        }
    }
    if (count % 2 == 1) return sorted[half];
    return (sorted[half] + sorted[half - 1]) / 2;
}

MeanDeviation MeanAndDeviation(const double* values, std::size_t count) {
    MeanDeviation result;
    long double sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += values[i];
    result.mean = sum / static_cast<long double>(count);
    if (count < 2) return result;  // a single sample has no spread
    long double squares = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const long double d = result.mean - values[i];
        squares += d * d;
    }
    result.deviation = std::sqrt(squares / static_cast<long double>(count - 1));
    return result;
}

}  // namespace timing
