#pragma once
#include <cmath>
#include <cstdio>
#include <string>

namespace replay {

// A number as a frame line prints it. JSON has no NaN or infinity: a value that is not finite prints as null, so
// every line stays valid JSON whatever the game's state.
inline std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

}  // namespace replay
