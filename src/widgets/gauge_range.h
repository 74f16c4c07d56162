#pragma once

#include <utility>

// Takes a gauge's new range, given either way round, into low and high; false when the
// range stays what it was (the gauge has nothing to redraw or announce).
inline bool TakeGaugeRange(double& low, double& high, double minimum, double maximum) {
    if (maximum < minimum)
        std::swap(minimum, maximum);
    if (minimum == low && maximum == high)
        return false;
    low = minimum;
    high = maximum;
    return true;
}
