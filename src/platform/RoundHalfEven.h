#pragma once

#include <cmath>

// Rounds to the nearest integer, halves to the even neighbour (the floating-point default mode).
inline int roundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}
