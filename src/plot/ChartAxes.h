#pragma once
// The interval chart's axes: where the left axis ends, and round numbers for
// its ticks. Pure arithmetic, apart from the window.

namespace plot {

// The left axis switches from automatic to a fixed maximum once a capture's
// mean step exceeds this (a 15.6 ms tick), and stays fixed.
inline constexpr double kFixAxisAboveMeanUs = 9500;
inline constexpr double kFixedAxisMaxUs = 20000;
inline constexpr double kAxisMinUs = 37.5;

// An automatic axis maximum for data up to maxValue above a fixed minimum:
// a round number with a little headroom, and a round tick interval.
struct AxisRange {
    double max = 0;
    double tickInterval = 0;
};
AxisRange automaticAxis(double minimum, double maxValue);
AxisRange fixedAxis(double minimum, double maximum);

}  // namespace plot
