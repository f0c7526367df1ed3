// Banker's rounding, the rounding of every conversion into an integral kind.
#pragma once

#include <cfloat>
#include <cmath>

namespace reelkeep {

/// Rounds to the nearest integer, an exact half to the even neighbour: 0.5 -> 0, 1.5 -> 2, -2.5 -> -2.
inline double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double difference = value - floor;
    if (difference > 0.5)
        return floor + 1;
    if (difference < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

/// True when a finite Double lies within the Single range, so that converting it is defined.
inline bool fitsSingle(double value)
{
    return std::isfinite(value) && std::fabs(value) <= double(FLT_MAX);
}

} // namespace reelkeep
